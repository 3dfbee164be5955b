#pragma once

namespace nimbra {

class AppContext;

// What bench/client-figures asks the running program for through its
// environment, once the main window can be used:
//   NIMBRA_BENCH_PLAY=1    one long track plays, alone in its queue
//   NIMBRA_BENCH_LYRICS=1  ... shown on the fullscreen player's lyrics
//   NIMBRA_BENCH_TOUR=1    every section is shown in turn, then the home page
//                          again; "nimbra-timing toured" goes to stderr
// Nothing happens without them.
void startBenchHooks(AppContext &context);

} // namespace nimbra
