// Chunk identifiers of the 3D Studio file format that the reader knows by name.
#pragma once

#include <cstdint>

namespace ukh::tag3ds {

using TTag = uint16_t;

// Top-level magics and the version chunks.
inline constexpr TTag NULL_CHUNK = 0x0000;
inline constexpr TTag M3D_VERSION = 0x0002;
inline constexpr TTag M3DMAGIC = 0x4D4D;
inline constexpr TTag MLIBMAGIC = 0x3DAA;
inline constexpr TTag CMAGIC = 0xC23D;
inline constexpr TTag SMAGIC = 0x2D2D;
inline constexpr TTag LMAGIC = 0x2D3D;
inline constexpr TTag MATMAGIC = 0x3DFF;
inline constexpr TTag MDATA = 0x3D3D;
inline constexpr TTag MESH_VERSION = 0x3D3E;

// Common value chunks.
inline constexpr TTag COLOR_F = 0x0010;
inline constexpr TTag COLOR_24 = 0x0011;
inline constexpr TTag LIN_COLOR_24 = 0x0012;
inline constexpr TTag LIN_COLOR_F = 0x0013;
inline constexpr TTag INT_PERCENTAGE = 0x0030;
inline constexpr TTag FLOAT_PERCENTAGE = 0x0031;
inline constexpr TTag MASTER_SCALE = 0x0100;

// Scene settings.
inline constexpr TTag BIT_MAP = 0x1100;
inline constexpr TTag SOLID_BGND = 0x1200;
inline constexpr TTag V_GRADIENT = 0x1300;
inline constexpr TTag LO_SHADOW_BIAS = 0x1400;
inline constexpr TTag HI_SHADOW_BIAS = 0x1410;
inline constexpr TTag SHADOW_MAP_SIZE = 0x1420;
inline constexpr TTag SHADOW_SAMPLES = 0x1430;
inline constexpr TTag O_CONSTS = 0x1500;
inline constexpr TTag AMBIENT_LIGHT = 0x2100;
inline constexpr TTag FOG = 0x2200;
inline constexpr TTag DISTANCE_CUE = 0x2300;
inline constexpr TTag LAYER_FOG = 0x2302;
inline constexpr TTag DEFAULT_VIEW = 0x3000;
inline constexpr TTag VIEW_TOP = 0x3010;
inline constexpr TTag VIEW_BACK = 0x3060;
inline constexpr TTag VIEW_USER = 0x3070;
inline constexpr TTag VIEW_CAMERA = 0x3080;
inline constexpr TTag VIEWPORT_LAYOUT = 0x7001;

// Named objects and triangle meshes.
inline constexpr TTag NAMED_OBJECT = 0x4000;
inline constexpr TTag OBJ_HIDDEN = 0x4010;
inline constexpr TTag OBJ_VIS_LOFTER = 0x4011;
inline constexpr TTag OBJ_DOESNT_CAST = 0x4012;
inline constexpr TTag OBJ_MATTE = 0x4013;
inline constexpr TTag OBJ_FAST = 0x4014;
inline constexpr TTag OBJ_PROCEDURAL = 0x4015;
inline constexpr TTag OBJ_FROZEN = 0x4016;
inline constexpr TTag OBJ_DONT_RCVSHADOW = 0x4017;
inline constexpr TTag N_TRI_OBJECT = 0x4100;
inline constexpr TTag POINT_ARRAY = 0x4110;
inline constexpr TTag POINT_FLAG_ARRAY = 0x4111;
inline constexpr TTag FACE_ARRAY = 0x4120;
inline constexpr TTag MSH_MAT_GROUP = 0x4130;
inline constexpr TTag TEX_VERTS = 0x4140;
inline constexpr TTag SMOOTH_GROUP = 0x4150;
inline constexpr TTag MESH_MATRIX = 0x4160;
inline constexpr TTag MESH_COLOR = 0x4165;
inline constexpr TTag MESH_TEXTURE_INFO = 0x4170;
inline constexpr TTag PROC_NAME = 0x4181;
inline constexpr TTag PROC_DATA = 0x4182;
inline constexpr TTag MSH_BOXMAP = 0x4190;

// Lights and cameras.
inline constexpr TTag N_DIRECT_LIGHT = 0x4600;
inline constexpr TTag DL_SPOTLIGHT = 0x4610;
inline constexpr TTag DL_OFF = 0x4620;
inline constexpr TTag DL_ATTENUATE = 0x4625;
inline constexpr TTag DL_RAYSHAD = 0x4627;
inline constexpr TTag DL_SHADOWED = 0x4630;
inline constexpr TTag DL_LOCAL_SHADOW2 = 0x4641;
inline constexpr TTag DL_SEE_CONE = 0x4650;
inline constexpr TTag DL_SPOT_RECTANGULAR = 0x4651;
inline constexpr TTag DL_SPOT_OVERSHOOT = 0x4652;
inline constexpr TTag DL_SPOT_PROJECTOR = 0x4653;
inline constexpr TTag DL_EXCLUDE = 0x4654;
inline constexpr TTag DL_SPOT_ROLL = 0x4656;
inline constexpr TTag DL_SPOT_ASPECT = 0x4657;
inline constexpr TTag DL_RAY_BIAS = 0x4658;
inline constexpr TTag DL_INNER_RANGE = 0x4659;
inline constexpr TTag DL_OUTER_RANGE = 0x465A;
inline constexpr TTag DL_MULTIPLIER = 0x465B;
inline constexpr TTag N_CAMERA = 0x4700;
inline constexpr TTag CAM_SEE_CONE = 0x4710;
inline constexpr TTag CAM_RANGES = 0x4720;

// Extended data.
inline constexpr TTag XDATA_SECTION = 0x8000;
inline constexpr TTag XDATA_ENTRY = 0x8001;
inline constexpr TTag XDATA_APPNAME = 0x8002;
inline constexpr TTag XDATA_STRING = 0x8003;
inline constexpr TTag XDATA_LAST = 0x800F;  // last tag allowed inside an entry
inline constexpr TTag PARENT_NAME = 0x80F0;

// Materials.
inline constexpr TTag MAT_NAME = 0xA000;
inline constexpr TTag MAT_AMBIENT = 0xA010;
inline constexpr TTag MAT_DIFFUSE = 0xA020;
inline constexpr TTag MAT_SPECULAR = 0xA030;
inline constexpr TTag MAT_SHININESS = 0xA040;
inline constexpr TTag MAT_SHIN2PCT = 0xA041;
inline constexpr TTag MAT_SHIN3PCT = 0xA042;
inline constexpr TTag MAT_TRANSPARENCY = 0xA050;
inline constexpr TTag MAT_XPFALL = 0xA052;
inline constexpr TTag MAT_REFBLUR = 0xA053;
inline constexpr TTag MAT_SELF_ILLUM = 0xA080;
inline constexpr TTag MAT_TWO_SIDE = 0xA081;
inline constexpr TTag MAT_DECAL = 0xA082;
inline constexpr TTag MAT_ADDITIVE = 0xA083;
inline constexpr TTag MAT_SELF_ILPCT = 0xA084;
inline constexpr TTag MAT_WIRE = 0xA085;
inline constexpr TTag MAT_SUPERSMP = 0xA086;
inline constexpr TTag MAT_WIRESIZE = 0xA087;
inline constexpr TTag MAT_FACEMAP = 0xA088;
inline constexpr TTag MAT_XPFALLIN = 0xA08A;
inline constexpr TTag MAT_PHONGSOFT = 0xA08C;
inline constexpr TTag MAT_WIREABS = 0xA08E;
inline constexpr TTag MAT_SHADING = 0xA100;
inline constexpr TTag MAT_TEXMAP = 0xA200;
inline constexpr TTag MAT_SPECMAP = 0xA204;
inline constexpr TTag MAT_OPACMAP = 0xA210;
inline constexpr TTag MAT_REFLMAP = 0xA220;
inline constexpr TTag MAT_BUMPMAP = 0xA230;
inline constexpr TTag MAT_USE_XPFALL = 0xA240;
inline constexpr TTag MAT_USE_REFBLUR = 0xA250;
inline constexpr TTag MAT_BUMP_PERCENT = 0xA252;
inline constexpr TTag MAT_MAPNAME = 0xA300;
inline constexpr TTag MAT_ACUBIC = 0xA310;
inline constexpr TTag MAT_SXP_TEXT_DATA = 0xA320;
inline constexpr TTag MAT_SXP_TEXT2_DATA = 0xA321;
inline constexpr TTag MAT_SXP_OPAC_DATA = 0xA322;
inline constexpr TTag MAT_SXP_BUMP_DATA = 0xA324;
inline constexpr TTag MAT_SXP_SPEC_DATA = 0xA325;
inline constexpr TTag MAT_SXP_SHIN_DATA = 0xA326;
inline constexpr TTag MAT_SXP_SELFI_DATA = 0xA328;
inline constexpr TTag MAT_SXP_TEXT_MASKDATA = 0xA32A;
inline constexpr TTag MAT_SXP_TEXT2_MASKDATA = 0xA32C;
inline constexpr TTag MAT_SXP_OPAC_MASKDATA = 0xA32E;
inline constexpr TTag MAT_SXP_BUMP_MASKDATA = 0xA330;
inline constexpr TTag MAT_SXP_SPEC_MASKDATA = 0xA332;
inline constexpr TTag MAT_SXP_SHIN_MASKDATA = 0xA334;
inline constexpr TTag MAT_SXP_SELFI_MASKDATA = 0xA336;
inline constexpr TTag MAT_SXP_REFL_MASKDATA = 0xA338;
inline constexpr TTag MAT_TEX2MAP = 0xA33A;
inline constexpr TTag MAT_SHINMAP = 0xA33C;
inline constexpr TTag MAT_SELFIMAP = 0xA33D;
inline constexpr TTag MAT_TEXMASK = 0xA33E;
inline constexpr TTag MAT_TEX2MASK = 0xA340;
inline constexpr TTag MAT_OPACMASK = 0xA342;
inline constexpr TTag MAT_BUMPMASK = 0xA344;
inline constexpr TTag MAT_SHINMASK = 0xA346;
inline constexpr TTag MAT_SPECMASK = 0xA348;
inline constexpr TTag MAT_SELFIMASK = 0xA34A;
inline constexpr TTag MAT_REFLMASK = 0xA34C;
inline constexpr TTag MAT_MAP_TILING = 0xA351;
inline constexpr TTag MAT_MAP_TEXBLUR = 0xA353;
inline constexpr TTag MAT_MAP_USCALE = 0xA354;
inline constexpr TTag MAT_MAP_VSCALE = 0xA356;
inline constexpr TTag MAT_MAP_UOFFSET = 0xA358;
inline constexpr TTag MAT_MAP_VOFFSET = 0xA35A;
inline constexpr TTag MAT_MAP_ANG = 0xA35C;
inline constexpr TTag MAT_MAP_COL1 = 0xA360;
inline constexpr TTag MAT_MAP_COL2 = 0xA362;
inline constexpr TTag MAT_MAP_RCOL = 0xA364;
inline constexpr TTag MAT_MAP_GCOL = 0xA366;
inline constexpr TTag MAT_MAP_BCOL = 0xA368;
inline constexpr TTag MAT_ENTRY = 0xAFFF;

// Keyframer.
inline constexpr TTag KFDATA = 0xB000;
inline constexpr TTag AMBIENT_NODE_TAG = 0xB001;
inline constexpr TTag OBJECT_NODE_TAG = 0xB002;
inline constexpr TTag CAMERA_NODE_TAG = 0xB003;
inline constexpr TTag TARGET_NODE_TAG = 0xB004;
inline constexpr TTag LIGHT_NODE_TAG = 0xB005;
inline constexpr TTag L_TARGET_NODE_TAG = 0xB006;
inline constexpr TTag SPOTLIGHT_NODE_TAG = 0xB007;
inline constexpr TTag KFSEG = 0xB008;
inline constexpr TTag KFCURTIME = 0xB009;
inline constexpr TTag KFHDR = 0xB00A;
inline constexpr TTag NODE_HDR = 0xB010;
inline constexpr TTag INSTANCE_NAME = 0xB011;
inline constexpr TTag PIVOT = 0xB013;
inline constexpr TTag BOUNDBOX = 0xB014;
inline constexpr TTag MORPH_SMOOTH = 0xB015;
inline constexpr TTag POS_TRACK_TAG = 0xB020;
inline constexpr TTag ROT_TRACK_TAG = 0xB021;
inline constexpr TTag SCL_TRACK_TAG = 0xB022;
inline constexpr TTag FOV_TRACK_TAG = 0xB023;
inline constexpr TTag ROLL_TRACK_TAG = 0xB024;
inline constexpr TTag COL_TRACK_TAG = 0xB025;
inline constexpr TTag MORPH_TRACK_TAG = 0xB026;
inline constexpr TTag HOT_TRACK_TAG = 0xB027;
inline constexpr TTag FALL_TRACK_TAG = 0xB028;
inline constexpr TTag HIDE_TRACK_TAG = 0xB029;
inline constexpr TTag NODE_ID = 0xB030;

inline constexpr TTag VPDATA = 0xD000;
inline constexpr TTag DUMMY = 0xFFFF;

}  // namespace ukh::tag3ds
