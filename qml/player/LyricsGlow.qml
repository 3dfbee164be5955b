import QtQuick
import Qt5Compat.GraphicalEffects
import Nimbra

// The lit lyrics line's glow on renderers with shaders, as strong as the
// line's `glow` (0 to 1). A file of its own, created by URL only where it is
// used, so the effects module is never loaded on the software renderer.
Glow {
    objectName: "lyricsGlow"

    // The glow's opacity at full strength.
    readonly property real strongest: 0.5
    // The layer hands its effect a texture of the line (a ShaderEffectSource);
    // the line's own properties are on the texture's item.
    readonly property var line: source && source.sourceItem ? source.sourceItem : null

    radius: AppTheme.radiusXXL
    // Enough samples for the radius, as the effect asks.
    samples: 2 * radius + 1
    color: AppTheme.alpha(AppTheme.accent, strongest * (line && line.glow !== undefined ? line.glow : 0))
    transparentBorder: true
}
