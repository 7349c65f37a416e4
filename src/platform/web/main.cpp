// The music disk's entry in a browser page: runs the program's WinMain on the web host, then
// tells the page that the show has ended. The page starts it on the visitor's first click or key.
#include <windows.h>

#include <emscripten.h>

#include <vector>

#include "bass_test_control.h"
#include "platform/host/web_host.h"

// The page's `page.ended(result)`: the show is over (Escape, or a start-up failure already shown).
EM_JS(void, web_page_ended, (int result), { Module["page"].ended(result); });

// The page asks for its benchmark mode (frames drawn as fast as they come) with this flag.
EM_JS(int, web_page_unpaced, (), { return Module["page"].unpaced ? 1 : 0; });

extern "C" {

// The music the program plays now (its BASS handle), 0 for none: the page shows it to its tests,
// which see a track change as a change of handle.
EMSCRIPTEN_KEEPALIVE unsigned int musidisk_playing_music() {
  std::vector<HMUSIC> playing = bass_test::PlayingMusics();
  return playing.empty() ? 0u : static_cast<unsigned int>(playing.front());
}

}  // extern "C"

int main() {
  // Lives as long as the module: the page drops the whole module when the show ends.
  static host::WebHost web(web_page_unpaced() == 0);
  web.Start();
  host::SetActiveHost(&web);
  int result = WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT);
  web.Stop();
  host::SetActiveHost(nullptr);
  web_page_ended(result);
  return result;
}
