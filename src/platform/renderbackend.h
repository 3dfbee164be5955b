#pragma once

#include <QString>

namespace nimbra {

// Chooses Qt Quick's scene graph back-end by what the machine has. Where
// OpenGL is only a software rasteriser (Mesa's llvmpipe or softpipe) or
// absent, Qt Quick's own software renderer starts faster, idles in less
// memory and redraws only what changed; on a real GPU the default stays.
// A back-end the listener set in the environment always wins.
class RenderBackend
{
public:
    enum class Choice { Default, Software };

    // What the machine offers, gathered before the choice.
    struct Probe
    {
        QString userBackend;    // QT_QUICK_BACKEND (or the older QMLSCENE_DEVICE)
        bool forcedSoftwareGl = false; // LIBGL_ALWAYS_SOFTWARE or a software GALLIUM_DRIVER
        bool hasRenderNode = false;    // a /dev/dri/renderD* node
        QString glRenderer;     // GL_RENDERER of a probe context; empty when none could be made
    };

    // The rule alone, so it can be checked without the machine. glRenderer
    // is consulted only when the rest leaves the question open.
    static Choice choose(const Probe &probe);
    static bool needsGlProbe(const Probe &probe);

    // Reads the environment and /dev/dri, asks OpenGL only when that is
    // still needed, and applies the choice to every later QQuickWindow.
    // Call after the QGuiApplication exists and before the first window.
    static Choice applyForThisMachine();

private:
    static QString probeGlRenderer();
};

} // namespace nimbra
