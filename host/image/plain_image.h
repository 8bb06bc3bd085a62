#pragma once

// What a reader of one plain file kind (read without the image library) made of a file.
enum class PlainRead {
  Read,      // decoded
  NotPlain,  // not this kind of plain file: the image library reads it
  Damaged,   // this kind, but its pixels do not decode
};
