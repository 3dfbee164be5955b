#pragma once

#include <QtGlobal>

#include <memory>
#include <optional>

struct _GObject;

namespace nimbra {

// The GStreamer audio sink that one media's player made. QtMultimedia gives
// no hold of its sinks, but it makes them on the thread that calls into the
// player, inside the call: a media opens a claim around each call it makes,
// and the hook that sees every sink added to a bin hands the sink to the
// claim open on its thread. The sink may go before the media: it is held
// weakly. A sink made outside any claim belongs to nobody.
class ClaimedSink
{
public:
    ClaimedSink();
    ~ClaimedSink();
    ClaimedSink(const ClaimedSink &) = delete;
    ClaimedSink &operator=(const ClaimedSink &) = delete;

    // Open for as long as it lives, on the thread that made it.
    class Claim
    {
    public:
        explicit Claim(ClaimedSink &claimant);
        ~Claim();
        Claim(const Claim &) = delete;
        Claim &operator=(const Claim &) = delete;

    private:
        ClaimedSink *m_previous;
    };

    // An audio sink just added to a bin goes to the claim open on this
    // thread, if there is one.
    static void offer(_GObject *sink);

    // How many buffers the sink has played; none while no sink is held, or
    // once it is gone.
    std::optional<quint64> renderedBuffers() const;
    void forget();

private:
    struct Ref;
    std::unique_ptr<Ref> m_ref;
};

} // namespace nimbra
