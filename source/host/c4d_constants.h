#pragma once

#include "c4d_math.h"

// Node types.
enum : Int32 {
  Obase = 5155,
  Onull = 5140,
  Olight = 5102,
  Ocamera = 5103,
  Ocube = 5159,
  Osphere = 5160,
  Oplane = 5168,
  Ocylinder = 5170,
  Opolygon = 5100,
  Tbase = 5612,
  Tprotection = 5629,
  Tbasedocument = 110059,
  Rbase = 110304,
  VPbase = 1002,
  Xbase = 5707,
  Xbitmap = 5833,
  Xgradient = 1011100,
};

// Node messages.
enum : Int32 {
  MSG_UPDATE = 5,
  MSG_DESCRIPTION_COMMAND_BUTTON = 7,
  MSG_DESCRIPTION_COMMAND = 18,
  MSG_DESCRIPTION_POSTSETPARAMETER = 19,
  MSG_DESCRIPTION_GETBITMAP = 27,
  MSG_MULTI_RENDERNOTIFICATION = 1001071,
  MSG_UNDO_NOTICE = 1001078,
  MSG_GETCUSTOMICON = 1001090,
};

// Flags of parameter access and descriptions.
enum DESCFLAGS_GET : Int32 { DESCFLAGS_GET_0 = 0, DESCFLAGS_GET_PARAM_GET = 2 };
enum DESCFLAGS_SET : Int32 {
  DESCFLAGS_SET_0 = 0,
  DESCFLAGS_SET_PARAM_SET = 2,
  DESCFLAGS_SET_USERINTERACTION = 4,
};
enum DESCFLAGS_DESC : Int32 { DESCFLAGS_DESC_0 = 0, DESCFLAGS_DESC_LOADED = 2 };
enum DESCFLAGS_ENABLE : Int32 { DESCFLAGS_ENABLE_0 = 0 };

inline DESCFLAGS_GET operator|(DESCFLAGS_GET a, DESCFLAGS_GET b) {
  return DESCFLAGS_GET(Int32(a) | Int32(b));
}
inline DESCFLAGS_SET operator|(DESCFLAGS_SET a, DESCFLAGS_SET b) {
  return DESCFLAGS_SET(Int32(a) | Int32(b));
}
inline DESCFLAGS_DESC operator|(DESCFLAGS_DESC a, DESCFLAGS_DESC b) {
  return DESCFLAGS_DESC(Int32(a) | Int32(b));
}

// Description element properties.
enum : Int32 {
  DESC_NAME = 1,
  DESC_SHORT_NAME = 2,
  DESC_DEFAULT = 5,
  DESC_MIN = 7,
  DESC_MAX = 8,
  DESC_UNIT = 12,
  DESC_HIDE = 15,
  DESC_CYCLE = 21,
  DESC_CUSTOMGUI = 25,
  DESC_DEFAULTOPEN = 33,
};

// Further element properties: input step, the enclosing group's ID (0 at the top), the columns
// of a group and the element's symbol text.
enum : Int32 { DESC_STEP = 9, DESC_PARENTGROUP = 13, DESC_COLUMNS = 22, DESC_IDENT = 46 };

// Units a DESC_UNIT property names: plain numbers, angles (stored in radians, shown in degrees)
// and lengths (scene units).
enum : Int32 {
  DESC_UNIT_FLOAT = 0x66726561,   // 'frea'
  DESC_UNIT_DEGREE = 0x66646772,  // 'fdgr'
  DESC_UNIT_METER = 0x666d6574,   // 'fmet'
};

// Node bits and dirty flags.
enum : Int32 { BIT_ACTIVE = 2, BIT_VPDISABLED = 4 };
enum : Int32 { DIRTYFLAGS_DATA = 2, DIRTYFLAGS_DESCRIPTION = 64 };

// Render-mode answers of objects.
enum : Int32 { MODE_ON = 0, MODE_OFF = 1, MODE_UNDEF = 2 };

// Custom data types.
enum : Int32 { CUSTOMDATATYPE_BITMAPBUTTON = 1001053 };

// Render settings and camera parameters the module reads or mirrors.
enum : Int32 {
  RDATA_XRES = 5008,
  RDATA_YRES = 5009,
  RDATA_FRAMERATE = 5020,
  RDATA_STEREO = 8000,
  CAMERAOBJECT_STEREO_MODE = 4200,
  CAMERAOBJECT_STEREO_EYESEPARATION = 4201,
  CAMERAOBJECT_STEREO_PLACEMENT = 4202,
  CAMERAOBJECT_STEREO_ZERO_PARALLAX = 4205,
  CAMERAOBJECT_SHOW_IN_EDITOR = 1007,  // a Bool; the module keeps it on for cubemap cameras only
};

// Host commands a module may call.
enum : Int32 { COMMAND_OPEN_RENDER_SETTINGS = 12161 };

// Undo kinds.
// CHANGE and CHANGE_SMALL record a node's own state (container, name, bits, placement, place in
// its list) before an edit; NEW records a node just inserted. Deletion is not recorded by this host.
enum UNDOTYPE : Int32 {
  UNDOTYPE_CHANGE = 40,
  UNDOTYPE_CHANGE_SMALL = 42,
  UNDOTYPE_NEW = 44,
  UNDOTYPE_DELETE = 45
};

// Selection modes for SetActiveObject/SetActiveTag.
enum : Int32 { SELECTION_NEW = 0, SELECTION_ADD = 1, SELECTION_SUB = 2 };

// Host query: CheckIsRunning kinds.
enum CHECKISRUNNING : Int32 { CHECKISRUNNING_EXTERNALRENDERING = 1, CHECKISRUNNING_EDITORRENDERING = 2 };
