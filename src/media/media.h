#pragma once
// The media layer: movies, players, output devices and the system volume.

#include "media/clip_movie.h"    // IWYU pragma: export
#include "media/movie.h"         // IWYU pragma: export
#include "media/movie_player.h"  // IWYU pragma: export
#include "media/output.h"        // IWYU pragma: export
