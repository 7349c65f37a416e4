// The factories of the 18 scene-table slots.
#include "scenes/scene_factories.h"

#include "effects/point_tunnel_effect.h"
#include "effects/raster_bars_effect.h"
#include "effects/square_tunnel_effect.h"
#include "effects/starfield_effect.h"
#include "layers/horizon_backdrop.h"
#include "layers/logo_banner.h"
#include "layers/message_panel.h"
#include "layers/now_playing_ticker.h"
#include "scenes/placeholder_scene.h"

const SceneFactory sceneFactories[18] = {
    CreateScene<MessagePanel>,       // 0
    CreateScene<RasterBarsEffect>,   // 1
    CreateScene<PlaceholderScene>,   // 2 RotozoomEffect
    CreateScene<PlaceholderScene>,   // 3 GreetingsEffect
    CreateScene<PointTunnelEffect>,  // 4
    CreateScene<PlaceholderScene>,   // 5 ScrollCarpetEffect
    CreateScene<PlaceholderScene>,   // 6 RingsEffect
    CreateScene<PlaceholderScene>,   // 7 MoireEffect
    CreateScene<SquareTunnelEffect>, // 8
    CreateScene<StarfieldEffect>,    // 9
    CreateScene<PlaceholderScene>,   // 10 RotozoomEffect, second instance
    CreateScene<PlaceholderScene>,   // 11 FinStarEffect
    CreateScene<PlaceholderScene>,   // 12 SpriteMorphEffect
    CreateScene<PlaceholderScene>,   // 13 DotBallsEffect
    CreateScene<PlaceholderScene>,   // 14 SolidsEffect
    CreateScene<HorizonBackdrop>,    // 15
    CreateScene<LogoBanner>,         // 16
    CreateScene<NowPlayingTicker>,   // 17
};
