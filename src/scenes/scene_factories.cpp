// The factories of the 18 scene-table slots.
#include "scenes/scene_factories.h"

#include "effects/dot_balls_effect.h"
#include "effects/fin_star_effect.h"
#include "effects/greetings_effect.h"
#include "effects/moire_effect.h"
#include "effects/point_tunnel_effect.h"
#include "effects/raster_bars_effect.h"
#include "effects/rings_effect.h"
#include "effects/rotozoom_effect.h"
#include "effects/scroll_carpet_effect.h"
#include "effects/solids_effect.h"
#include "effects/sprite_morph_effect.h"
#include "effects/square_tunnel_effect.h"
#include "effects/starfield_effect.h"
#include "layers/horizon_backdrop.h"
#include "layers/logo_banner.h"
#include "layers/message_panel.h"
#include "layers/now_playing_ticker.h"

const SceneFactory sceneFactories[18] = {
    CreateScene<MessagePanel>,        // 0
    CreateScene<RasterBarsEffect>,    // 1
    CreateScene<RotozoomEffect>,      // 2
    CreateScene<GreetingsEffect>,     // 3
    CreateScene<PointTunnelEffect>,   // 4
    CreateScene<ScrollCarpetEffect>,  // 5
    CreateScene<RingsEffect>,         // 6
    CreateScene<MoireEffect>,         // 7
    CreateScene<SquareTunnelEffect>,  // 8
    CreateScene<StarfieldEffect>,     // 9
    CreateScene<RotozoomEffect>,      // 10: a second instance of slot 2's class
    CreateScene<FinStarEffect>,       // 11
    CreateScene<SpriteMorphEffect>,   // 12
    CreateScene<DotBallsEffect>,      // 13
    CreateScene<SolidsEffect>,        // 14
    CreateScene<HorizonBackdrop>,     // 15
    CreateScene<LogoBanner>,          // 16
    CreateScene<NowPlayingTicker>,    // 17
};
