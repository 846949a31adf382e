// vexarion-replay: the program's own frames, run without a person from a
// script and a fixed frame time (replay/runner.h), on whichever backend it
// was built for: the drawing one, or the null one that draws nothing.
//
//   vexarion-replay [--frames N] [--dt SECONDS] [--size WxH] [--script FILE]
//                   [--shot FRAME=FILE.png]... [--trace FILE] [--pose MODE]
//                   [--[no-]reduced-flash]
#include "app/options.h"
#include "platform/notice.h"
#include "replay/runner.h"

int main(int argc, char** argv)
{
    noticeInit();
    Options options;
    const int ended = readCommandLine(PROGRAM_REPLAY, argc, argv, &options);
    if (ended >= 0)
        return ended;
    return replayRun(options);
}
