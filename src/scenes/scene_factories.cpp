// The factories of the 18 scene-table slots.
#include "scenes/scene_factories.h"

#include "effects/raster_bars_effect.h"
#include "scenes/placeholder_scene.h"

const SceneFactory sceneFactories[18] = {
    CreateScene<PlaceholderScene>,   // 0 MessagePanel
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
    CreateScene<PlaceholderScene>,   // 12 SpriteMorphEffect
    CreateScene<PlaceholderScene>,   // 13 DotBallsEffect
    CreateScene<PlaceholderScene>,   // 14 SolidsEffect
    CreateScene<PlaceholderScene>,   // 15 HorizonBackdrop
    CreateScene<PlaceholderScene>,   // 16 LogoBanner
    CreateScene<PlaceholderScene>,   // 17 NowPlayingTicker
};
