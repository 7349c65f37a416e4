// The factories of the 18 scene-table slots.
#include "scenes/scene_factories.h"

#include "effects/dot_balls_effect.h"
#include "effects/raster_bars_effect.h"
#include "effects/sprite_morph_effect.h"
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
    CreateScene<PlaceholderScene>,   // 4 PointTunnelEffect
    CreateScene<PlaceholderScene>,   // 5 ScrollCarpetEffect
    CreateScene<PlaceholderScene>,   // 6 RingsEffect
    CreateScene<PlaceholderScene>,   // 7 MoireEffect
    CreateScene<PlaceholderScene>,   // 8 SquareTunnelEffect
    CreateScene<PlaceholderScene>,   // 9 StarfieldEffect
    CreateScene<PlaceholderScene>,   // 10 RotozoomEffect, second instance
    CreateScene<PlaceholderScene>,   // 11 FinStarEffect
    CreateScene<SpriteMorphEffect>,  // 12
    CreateScene<DotBallsEffect>,     // 13
    CreateScene<PlaceholderScene>,   // 14 SolidsEffect
    CreateScene<HorizonBackdrop>,    // 15
    CreateScene<LogoBanner>,         // 16
    CreateScene<NowPlayingTicker>,   // 17
};
