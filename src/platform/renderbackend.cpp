#include "platform/renderbackend.h"

#include <QDir>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <QSGRendererInterface>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

bool isSoftwareRasteriser(const QString &renderer)
{
    const QString name = renderer.toLower();
    return name.contains("llvmpipe"_L1) || name.contains("softpipe"_L1) || name.contains("swrast"_L1)
        || name.contains("software rasterizer"_L1);
}

} // namespace

bool RenderBackend::needsGlProbe(const Probe &probe)
{
    return probe.userBackend.isEmpty() && !probe.forcedSoftwareGl && probe.hasRenderNode;
}

RenderBackend::Choice RenderBackend::choose(const Probe &probe)
{
    // The listener's word, whatever it names: Qt Quick reads it itself.
    if (!probe.userBackend.isEmpty())
        return Choice::Default;
    if (probe.forcedSoftwareGl || !probe.hasRenderNode)
        return Choice::Software;
    // A render node with no working context, or one that only rasterises
    // on the processor, is no GPU.
    if (probe.glRenderer.isEmpty() || isSoftwareRasteriser(probe.glRenderer))
        return Choice::Software;
    return Choice::Default;
}

RenderBackend::Choice RenderBackend::applyForThisMachine()
{
    Probe probe;
    probe.userBackend = qEnvironmentVariable("QT_QUICK_BACKEND");
    if (probe.userBackend.isEmpty())
        probe.userBackend = qEnvironmentVariable("QMLSCENE_DEVICE");
    const QString gallium = qEnvironmentVariable("GALLIUM_DRIVER").toLower();
    probe.forcedSoftwareGl = qEnvironmentVariableIntValue("LIBGL_ALWAYS_SOFTWARE") != 0
        || gallium == "llvmpipe"_L1 || gallium == "softpipe"_L1;
    probe.hasRenderNode = !QDir(u"/dev/dri"_s).entryList({u"renderD*"_s}, QDir::System).isEmpty();
    if (needsGlProbe(probe))
        probe.glRenderer = probeGlRenderer();

    const Choice choice = choose(probe);
    if (choice == Choice::Software)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    return choice;
}

QString RenderBackend::probeGlRenderer()
{
    QOpenGLContext context;
    if (!context.create())
        return {};
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface))
        return {};
    const auto *renderer = reinterpret_cast<const char *>(context.functions()->glGetString(GL_RENDERER));
    const QString name = renderer ? QString::fromLatin1(renderer) : QString();
    context.doneCurrent();
    return name;
}

} // namespace nimbra
