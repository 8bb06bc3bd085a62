#include "orvex360camvp/orvex360camvp.h"

// The merge of camera images arrives with multi-camera output.
Bool Orvex360CamVP::StereoMergeImages(BaseVideoPost*, BaseBitmap*, const BaseBitmap* const*, Int32,
                                      const BaseContainer&, COLORSPACETRANSFORMATION) {
  return false;
}
