#pragma once

// The module's parameters the host reads or sets, by the symbols their descriptions give them: the
// one place the host names them. Their IDs, and the values of their choices, are looked up in the
// registered descriptions (description_symbols.h); nothing here is a number.

namespace tag_parameter {

inline constexpr const char* kCameraKind = "ORVEXTAG_CAMERA_KIND";
inline constexpr const char* kCylHfov = "ORVEXTAG_CYL_HFOV";
inline constexpr const char* kCylOrientation = "ORVEXTAG_CYL_ORIENTATION";
inline constexpr const char* kEnable = "ORVEXTAG_ENABLE";
inline constexpr const char* kEquirectCustom = "ORVEXTAG_EQUIRECT_CUSTOM";
inline constexpr const char* kEquirectHspan = "ORVEXTAG_EQUIRECT_HSPAN";
inline constexpr const char* kEquirectLatMax = "ORVEXTAG_EQUIRECT_LAT_MAX";
inline constexpr const char* kEquirectLatMin = "ORVEXTAG_EQUIRECT_LAT_MIN";
inline constexpr const char* kEyeSeparation = "ORVEXTAG_EYE_SEPARATION";
inline constexpr const char* kFisheyeFov = "ORVEXTAG_FISHEYE_FOV";
inline constexpr const char* kFisheyeType = "ORVEXTAG_FISHEYE_TYPE";
inline constexpr const char* kProjection = "ORVEXTAG_PROJECTION";
inline constexpr const char* kSeparationMap = "ORVEXTAG_SEPARATION_MAP";
inline constexpr const char* kSeparationMapShader = "ORVEXTAG_SEPARATION_MAP_SHADER";
inline constexpr const char* kStereo = "ORVEXTAG_STEREO";
inline constexpr const char* kStereoDirectionPad = "ORVEXTAG_STEREO_DIRECTION_PAD";
inline constexpr const char* kStereoRig = "ORVEXTAG_STEREO_RIG";
inline constexpr const char* kZeroParallax = "ORVEXTAG_ZERO_PARALLAX";
inline constexpr const char* kZeroParallaxMode = "ORVEXTAG_ZERO_PARALLAX_MODE";

}  // namespace tag_parameter

namespace effect_parameter {

inline constexpr const char* kAnaglyphColors = "ORVEXVP_ANAGLYPH_COLORS";
inline constexpr const char* kAnaglyphGamma = "ORVEXVP_ANAGLYPH_GAMMA";
inline constexpr const char* kAnaglyphMethod = "ORVEXVP_ANAGLYPH_METHOD";
inline constexpr const char* kCubeCrossStart = "ORVEXVP_CUBE_CROSS_START";
inline constexpr const char* kCubeFace = "ORVEXVP_CUBE_FACE";
inline constexpr const char* kCubeLayout = "ORVEXVP_CUBE_LAYOUT";
inline constexpr const char* kCubeVideoFaces = "ORVEXVP_CUBE_VIDEO_FACES";
inline constexpr const char* kEyeShift = "ORVEXVP_EYE_SHIFT";
inline constexpr const char* kInterlace = "ORVEXVP_INTERLACE";
inline constexpr const char* kLeftFlipU = "ORVEXVP_LEFT_FLIP_U";
inline constexpr const char* kLeftFlipV = "ORVEXVP_LEFT_FLIP_V";
inline constexpr const char* kLogoMode = "ORVEXVP_LOGO_MODE";
inline constexpr const char* kMaskMode = "ORVEXVP_MASK_MODE";
inline constexpr const char* kOverlay = "ORVEXVP_OVERLAY";
inline constexpr const char* kRightFlipU = "ORVEXVP_RIGHT_FLIP_U";
inline constexpr const char* kRightFlipV = "ORVEXVP_RIGHT_FLIP_V";
inline constexpr const char* kShowFrame = "ORVEXVP_SHOW_FRAME";
inline constexpr const char* kShowInfo = "ORVEXVP_SHOW_INFO";
inline constexpr const char* kShowText = "ORVEXVP_SHOW_TEXT";
inline constexpr const char* kShowTime = "ORVEXVP_SHOW_TIME";
inline constexpr const char* kSideLayout = "ORVEXVP_SIDE_LAYOUT";
inline constexpr const char* kSingleEye = "ORVEXVP_SINGLE_EYE";
inline constexpr const char* kStereoMode = "ORVEXVP_STEREO_MODE";
inline constexpr const char* kSwapEyes = "ORVEXVP_SWAP_EYES";

// The six cube slots are numbered from 1 after this prefix ("..._CUBE_SLOT1").
inline constexpr const char* kCubeSlotPrefix = "ORVEXVP_CUBE_SLOT";
// Every cubemap parameter's symbol starts so.
inline constexpr const char* kCubePrefix = "ORVEXVP_CUBE";

}  // namespace effect_parameter
