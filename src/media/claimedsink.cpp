#include "media/claimedsink.h"

#include <glib-object.h>

#include <dlfcn.h>

namespace nimbra {

namespace {

thread_local ClaimedSink *t_claimant = nullptr;

// GStreamer is not linked: it is in the process once a sink was made.
using GetUint64 = gboolean (*)(const void *structure, const char *field, guint64 *value);
GetUint64 structureField()
{
    static const GetUint64 get = [] {
        void *gstreamer = dlopen("libgstreamer-1.0.so.0", RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
        return gstreamer ? reinterpret_cast<GetUint64>(dlsym(gstreamer, "gst_structure_get_uint64")) : nullptr;
    }();
    return get;
}

} // namespace

struct ClaimedSink::Ref
{
    GWeakRef sink;
};

ClaimedSink::ClaimedSink() : m_ref(std::make_unique<Ref>())
{
    g_weak_ref_init(&m_ref->sink, nullptr);
}

ClaimedSink::~ClaimedSink()
{
    g_weak_ref_clear(&m_ref->sink);
}

ClaimedSink::Claim::Claim(ClaimedSink &claimant) : m_previous(t_claimant)
{
    t_claimant = &claimant;
}

ClaimedSink::Claim::~Claim()
{
    t_claimant = m_previous;
}

void ClaimedSink::offer(GObject *sink)
{
    if (t_claimant && sink)
        g_weak_ref_set(&t_claimant->m_ref->sink, sink);
}

void ClaimedSink::forget()
{
    g_weak_ref_set(&m_ref->sink, nullptr);
}

// GstBaseSink's "stats": a copy of its counters, taken under its lock. Its
// count of dropped buffers says nothing for an audio sink, which throws
// late samples away inside its own rendering: they count as rendered.
std::optional<quint64> ClaimedSink::renderedBuffers() const
{
    GObject *sink = static_cast<GObject *>(g_weak_ref_get(&m_ref->sink));
    if (!sink)
        return std::nullopt;
    std::optional<quint64> played;
    GParamSpec *stats = g_object_class_find_property(G_OBJECT_GET_CLASS(sink), "stats");
    const GetUint64 field = structureField();
    if (stats && field && G_TYPE_IS_BOXED(stats->value_type)) {
        GValue value = G_VALUE_INIT;
        g_value_init(&value, stats->value_type);
        g_object_get_property(sink, "stats", &value);
        guint64 rendered = 0;
        const void *structure = g_value_get_boxed(&value);
        if (structure && field(structure, "rendered", &rendered))
            played = rendered;
        g_value_unset(&value);
    }
    g_object_unref(sink);
    return played;
}

} // namespace nimbra
