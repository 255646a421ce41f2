// Runs the stand-in service until Enter is pressed or the process is ended:
// the client's default service host is this program on this machine.
//   fakeservice [port]     (8046, the client's default service host, if none)
#include "tests/client/FakeService.h"

#include "platform/Win32.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv) {
  const int port = argc > 1 ? std::atoi(argv[1]) : 8046;
  try {
    TFakeService service(static_cast<uint16_t>(port));
    std::printf("Mevra fake service on %s; sign in as %s with password \"mevra\". Enter ends it.\n",
                service.Host().c_str(), service.DemoUser().Email.c_str());
    std::fflush(stdout);
    // Without a console (started in the background) it runs until ended.
    if (std::getchar() == EOF) Sleep(INFINITE);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
