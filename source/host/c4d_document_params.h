#pragma once

#include "c4d_math.h"

// Parameters of a document (read and written with GetParameter and SetParameter).
enum : Int32 {
  DOCUMENT_MINTIME = 1002,  // BaseTime: start of the document's time range
  DOCUMENT_MAXTIME = 1003,  // BaseTime: end of the document's time range
  DOCUMENT_NAME = 1013,     // Filename: the document's file name
};
