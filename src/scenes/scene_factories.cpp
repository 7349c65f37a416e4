// The factories of the 18 scene-table slots.
#include "scenes/scene_factories.h"

#include "effects/moire_effect.h"
#include "effects/raster_bars_effect.h"
#include "effects/rings_effect.h"
#include "effects/rotozoom_effect.h"
#include "layers/horizon_backdrop.h"
#include "layers/logo_banner.h"
#include "layers/message_panel.h"
#include "layers/now_playing_ticker.h"
#include "scenes/placeholder_scene.h"

const SceneFactory sceneFactories[18] = {
    CreateScene<MessagePanel>,       // 0
    CreateScene<RasterBarsEffect>,   // 1
    CreateScene<RotozoomEffect>,     // 2
    CreateScene<PlaceholderScene>,   // 3 GreetingsEffect
    CreateScene<PlaceholderScene>,   // 4 PointTunnelEffect
    CreateScene<PlaceholderScene>,   // 5 ScrollCarpetEffect
    CreateScene<RingsEffect>,        // 6
    CreateScene<MoireEffect>,        // 7
    CreateScene<PlaceholderScene>,   // 8 SquareTunnelEffect
    CreateScene<PlaceholderScene>,   // 9 StarfieldEffect
    CreateScene<RotozoomEffect>,     // 10 second instance
    CreateScene<PlaceholderScene>,   // 11 FinStarEffect
    CreateScene<PlaceholderScene>,   // 12 SpriteMorphEffect
    CreateScene<PlaceholderScene>,   // 13 DotBallsEffect
    CreateScene<PlaceholderScene>,   // 14 SolidsEffect
    CreateScene<HorizonBackdrop>,    // 15
    CreateScene<LogoBanner>,         // 16
    CreateScene<NowPlayingTicker>,   // 17
};
