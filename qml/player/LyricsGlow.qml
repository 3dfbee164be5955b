import QtQuick
import Qt5Compat.GraphicalEffects
import Nimbra

// The lit lyrics line's glow on renderers with shaders, as strong as the
// line's `glow` (0 to 1). A file of its own, created by URL only where it is
// used, so the effects module is never loaded on the software renderer.
Glow {
    radius: AppTheme.radiusXXL
    samples: 33
    color: AppTheme.alpha(AppTheme.accent, 0.5 * (source && source.glow !== undefined ? source.glow : 0))
    transparentBorder: true
}
