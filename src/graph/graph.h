// The whole graphics module: display, layers, images, files, font, quads, present.
#pragma once
#include "graph/g_display.h"
#include "graph/g_font.h"
#include "graph/g_image.h"
#include "graph/g_layer.h"
#include "graph/g_load.h"
#include "graph/g_present.h"
#include "graph/g_quad.h"
