#pragma once

// Everything the module may use of its host.
#include "c4d_basedraw.h"
#include "c4d_bitmap.h"
#include "c4d_commanddata.h"
#include "c4d_constants.h"
#include "c4d_description.h"
#include "c4d_gedata.h"
#include "c4d_general.h"
#include "c4d_gui.h"
#include "c4d_nodedata.h"
#include "c4d_nodes.h"
#include "c4d_registration.h"
#include "c4d_string.h"
#include "c4d_tagdata.h"
#include "c4d_undo.h"
#include "c4d_videopostdata.h"
