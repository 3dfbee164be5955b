#include "media/audiosinktuning.h"

#include "media/claimedsink.h"

#include <QByteArray>
#include <QtGlobal>

#include <glib-object.h>

#include <dlfcn.h>
#include <mutex>

namespace nimbra {

namespace {

// GstAudioBaseSinkSlaveMethod's "none".
constexpr int noSlaving = 2;
// GstInputSelectorSyncMode's "active-segment".
constexpr int syncByActiveSegment = 0;

// QtMultimedia's GStreamer player runs its pipeline on the system clock, so
// the audio sink is slaved to it, by default by skewing its own clock. After
// a flushing seek that skew is computed against the sink's clock from before
// the seek: the sink takes every buffer for late and drops it, for seconds,
// while the position (the system clock's) runs on. Not slaved, the sink
// plays each buffer at the time the clock gives it after the seek; the
// drift between a sound card's clock and the system's (parts per million)
// does not matter over a song.
gboolean tuneAddedElement(GSignalInvocationHint *, guint count, const GValue *params, gpointer)
{
    if (count < 2 || !G_VALUE_HOLDS_OBJECT(&params[1]))
        return TRUE;
    auto *element = static_cast<GObject *>(g_value_get_object(&params[1]));
    if (!element)
        return TRUE;
    GObjectClass *kind = G_OBJECT_GET_CLASS(element);
    // Every audio sink (GstAudioBaseSink) has the property; so do audio
    // sources, which no player of the client makes.
    if (g_object_class_find_property(kind, "slave-method")) {
        g_object_set(element, "slave-method", noSlaving, nullptr);
        ClaimedSink::offer(element);
    }
    // QtMultimedia's pipeline passes each stream through an input selector
    // that it syncs to the clock, and such a selector calls the whole
    // pipeline live: every sample is then held back by the audio sink's own
    // latency on top of the sound server's (about 130 ms), after each press,
    // seek and change of track. One stream of a file has nothing to keep in
    // step with; synced by its segment, the selector leaves the pipeline a
    // file's, and the first sample goes out at once.
    if (qstrcmp(G_OBJECT_TYPE_NAME(element), "GstInputSelector") == 0
        && g_object_class_find_property(kind, "sync-mode"))
        g_object_set(element, "sync-mode", syncByActiveSegment, nullptr);
    return TRUE;
}

} // namespace

void AudioSinkTuning::install()
{
    const QByteArray backend = qgetenv("QT_MEDIA_BACKEND");
    if (!backend.isEmpty() && backend != "gstreamer")
        return;
    static std::once_flag once;
    std::call_once(once, [] {
        // GStreamer comes with QtMultimedia's backend plugin: it is opened
        // here, not linked.
        void *gstreamer = dlopen("libgstreamer-1.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!gstreamer)
            return;
        using InitCheck = int (*)(int *, char ***, void **);
        using GetType = GType (*)();
        auto initCheck = reinterpret_cast<InitCheck>(dlsym(gstreamer, "gst_init_check"));
        auto binType = reinterpret_cast<GetType>(dlsym(gstreamer, "gst_bin_get_type"));
        if (!initCheck || !binType || !initCheck(nullptr, nullptr, nullptr))
            return;
        const guint added = g_signal_lookup("element-added", binType());
        if (added != 0)
            g_signal_add_emission_hook(added, 0, tuneAddedElement, nullptr, nullptr);
    });
}

} // namespace nimbra
