#include "benchhooks.h"

#include "appcontext.h"

#include "account/authstore.h"
#include "api/boundary.h"
#include "api/nimbraapi.h"
#include "api/session.h"
#include "player/playerstore.h"
#include "shell/mainnavigationmodel.h"
#include "shell/sidebaritem.h"

#include <QDateTime>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>

#include <QCoro/QCoroTimer>

#include <chrono>
#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace nimbra {

namespace {

// The longest of the catalogue's first tracks whose own lyrics carry time
// stamps: steady playback for a whole measuring window, with lines to light.
QCoro::Task<void> playLongTrack(QPointer<PlayerStore> player, std::optional<QString> token, bool lyrics)
{
    const NimbraApi api;
    QCoro::Task<TrackPage> request = api.tracks(1, 50, false, token);
    const Outcome<TrackPage> page = co_await runAtBoundary(std::move(request));
    if (!page) {
        std::fprintf(stderr, "nimbra: the bench track could not be loaded\n");
        co_return;
    }
    const TrackOut *longest = nullptr;
    for (const TrackOut &track : page.value->items) {
        const bool timed = track.lyrics && track.lyrics->startsWith(u'[');
        if (timed && (!longest || track.durationSeconds > longest->durationSeconds))
            longest = &track;
    }
    if (!longest || !player) {
        std::fprintf(stderr, "nimbra: no bench track among the catalogue's first tracks\n");
        co_return;
    }
    std::fprintf(stderr, "nimbra-bench track %s %lld s\n", qPrintable(longest->id), qlonglong(longest->durationSeconds));
    player->play(*longest, {*longest});
    if (lyrics) {
        player->setFullscreenWantsLyrics(true);
        player->setFullscreenPresented(true);
    }
}

// The main view's navigation, found through the items under root: the
// view comes from a Loader, so it is no QObject child of the window.
MainNavigationModel *findNavigation(QQuickItem *root)
{
    QList<QQuickItem *> pending {root};
    while (!pending.isEmpty()) {
        QQuickItem *next = pending.takeFirst();
        if (auto *navigation = next->findChild<MainNavigationModel *>(u"mainNavigation"_s, Qt::FindDirectChildrenOnly))
            return navigation;
        pending.append(next->childItems());
    }
    return nullptr;
}

// Each section for a few seconds (long enough to load its first page and
// covers), then home, as a listener looking around would.
QCoro::Task<void> tourSections(QPointer<QQuickWindow> window)
{
    QPointer<MainNavigationModel> navigation;
    for (int attempt = 0; attempt < 100 && !navigation; ++attempt) {
        co_await QCoro::sleepFor(100ms);
        if (window)
            navigation = findNavigation(window->contentItem());
    }
    if (!navigation) {
        std::fprintf(stderr, "nimbra: no main view to tour\n");
        co_return;
    }
    for (const SidebarEntry &entry : sidebarEntries()) {
        if (!navigation)
            co_return;
        navigation->navigateToSidebar(entry.item);
        co_await QCoro::sleepFor(3s);
    }
    if (!navigation)
        co_return;
    navigation->navigateToSidebar(SidebarItem::Home);
    std::fprintf(stderr, "nimbra-timing toured %.3f\n", QDateTime::currentMSecsSinceEpoch() * 1.0);
}

} // namespace

void startBenchHooks(AppContext &context)
{
    const bool play = qEnvironmentVariableIntValue("NIMBRA_BENCH_PLAY");
    const bool lyrics = qEnvironmentVariableIntValue("NIMBRA_BENCH_LYRICS");
    const bool tour = qEnvironmentVariableIntValue("NIMBRA_BENCH_TOUR");
    if (!play && !lyrics && !tour)
        return;
    auto once = std::make_shared<QMetaObject::Connection>();
    auto start = [&context, once, play, lyrics, tour] {
        if (!context.auth()->canUseApp())
            return;
        QObject::disconnect(*once);
        if (play || lyrics)
            playLongTrack(context.player(), context.session()->token(), lyrics);
        if (tour)
            tourSections(context.window());
    };
    *once = QObject::connect(context.auth(), &AuthStore::canUseAppChanged, &context, start);
    start();
}

} // namespace nimbra
