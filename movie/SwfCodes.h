// The file format's numbers in one place: tag codes and action opcodes.
#pragma once

#include <cstdint>

namespace movie {

// Tag codes: the upper ten bits of a tag's header.
namespace tag {
inline constexpr uint16_t kEnd = 0;
inline constexpr uint16_t kShowFrame = 1;
inline constexpr uint16_t kDefineShape = 2;
inline constexpr uint16_t kPlaceObject = 4;
inline constexpr uint16_t kRemoveObject = 5;
inline constexpr uint16_t kDefineBits = 6;
inline constexpr uint16_t kDefineButton = 7;
inline constexpr uint16_t kJpegTables = 8;
inline constexpr uint16_t kSetBackgroundColor = 9;
inline constexpr uint16_t kDefineFont = 10;
inline constexpr uint16_t kDefineText = 11;
inline constexpr uint16_t kDoAction = 12;
inline constexpr uint16_t kDefineFontInfo = 13;
inline constexpr uint16_t kDefineSound = 14;
inline constexpr uint16_t kStartSound = 15;
inline constexpr uint16_t kDefineButtonSound = 17;
inline constexpr uint16_t kSoundStreamHead = 18;
inline constexpr uint16_t kSoundStreamBlock = 19;
inline constexpr uint16_t kDefineBitsLossless = 20;
inline constexpr uint16_t kDefineBitsJpeg2 = 21;
inline constexpr uint16_t kDefineShape2 = 22;
inline constexpr uint16_t kDefineButtonCxform = 23;
inline constexpr uint16_t kProtect = 24;
inline constexpr uint16_t kPlaceObject2 = 26;
inline constexpr uint16_t kRemoveObject2 = 28;
inline constexpr uint16_t kDefineShape3 = 32;
inline constexpr uint16_t kDefineText2 = 33;
inline constexpr uint16_t kDefineButton2 = 34;
inline constexpr uint16_t kDefineBitsJpeg3 = 35;
inline constexpr uint16_t kDefineBitsLossless2 = 36;
inline constexpr uint16_t kDefineEditText = 37;
inline constexpr uint16_t kDefineSprite = 39;
inline constexpr uint16_t kProductInfo = 41;
inline constexpr uint16_t kFrameLabel = 43;
inline constexpr uint16_t kSoundStreamHead2 = 45;
inline constexpr uint16_t kDefineMorphShape = 46;
inline constexpr uint16_t kDefineFont2 = 48;
inline constexpr uint16_t kExportAssets = 56;
inline constexpr uint16_t kImportAssets = 57;
inline constexpr uint16_t kEnableDebugger = 58;
inline constexpr uint16_t kDoInitAction = 59;
inline constexpr uint16_t kDefineVideoStream = 60;
inline constexpr uint16_t kVideoFrame = 61;
inline constexpr uint16_t kDefineFontInfo2 = 62;
inline constexpr uint16_t kDebugId = 63;
inline constexpr uint16_t kEnableDebugger2 = 64;
inline constexpr uint16_t kScriptLimits = 65;
inline constexpr uint16_t kSetTabIndex = 66;
inline constexpr uint16_t kFileAttributes = 69;
inline constexpr uint16_t kPlaceObject3 = 70;
inline constexpr uint16_t kImportAssets2 = 71;
inline constexpr uint16_t kDefineFontAlignZones = 73;
inline constexpr uint16_t kCsmTextSettings = 74;
inline constexpr uint16_t kDefineFont3 = 75;
inline constexpr uint16_t kSymbolClass = 76;
inline constexpr uint16_t kMetadata = 77;
inline constexpr uint16_t kDefineScalingGrid = 78;
inline constexpr uint16_t kDoAbc = 82;
inline constexpr uint16_t kDefineShape4 = 83;
inline constexpr uint16_t kDefineMorphShape2 = 84;
inline constexpr uint16_t kDefineSceneAndFrameLabelData = 86;
inline constexpr uint16_t kDefineBinaryData = 87;
inline constexpr uint16_t kDefineFontName = 88;
inline constexpr uint16_t kStartSound2 = 89;
inline constexpr uint16_t kDefineBitsJpeg4 = 90;
inline constexpr uint16_t kDefineFont4 = 91;
inline constexpr uint16_t kEnableTelemetry = 93;
inline constexpr uint16_t kPlaceObject4 = 94;
} // namespace tag

// Action opcodes of DoAction and button and clip actions. Codes from 0x80 up
// carry a 16-bit length and a payload.
namespace action {
inline constexpr uint8_t kEnd = 0x00;
inline constexpr uint8_t kNextFrame = 0x04;
inline constexpr uint8_t kPreviousFrame = 0x05;
inline constexpr uint8_t kPlay = 0x06;
inline constexpr uint8_t kStop = 0x07;
inline constexpr uint8_t kToggleQuality = 0x08;
inline constexpr uint8_t kStopSounds = 0x09;
inline constexpr uint8_t kAdd = 0x0a;
inline constexpr uint8_t kSubtract = 0x0b;
inline constexpr uint8_t kMultiply = 0x0c;
inline constexpr uint8_t kDivide = 0x0d;
inline constexpr uint8_t kEquals = 0x0e;
inline constexpr uint8_t kLess = 0x0f;
inline constexpr uint8_t kAnd = 0x10;
inline constexpr uint8_t kOr = 0x11;
inline constexpr uint8_t kNot = 0x12;
inline constexpr uint8_t kStringEquals = 0x13;
inline constexpr uint8_t kStringLength = 0x14;
inline constexpr uint8_t kStringExtract = 0x15;
inline constexpr uint8_t kPop = 0x17;
inline constexpr uint8_t kToInteger = 0x18;
inline constexpr uint8_t kGetVariable = 0x1c;
inline constexpr uint8_t kSetVariable = 0x1d;
inline constexpr uint8_t kSetTarget2 = 0x20;
inline constexpr uint8_t kStringAdd = 0x21;
inline constexpr uint8_t kGetProperty = 0x22;
inline constexpr uint8_t kSetProperty = 0x23;
inline constexpr uint8_t kCloneSprite = 0x24;
inline constexpr uint8_t kRemoveSprite = 0x25;
inline constexpr uint8_t kTrace = 0x26;
inline constexpr uint8_t kStartDrag = 0x27;
inline constexpr uint8_t kEndDrag = 0x28;
inline constexpr uint8_t kStringLess = 0x29;
inline constexpr uint8_t kThrow = 0x2a;
inline constexpr uint8_t kCastOp = 0x2b;
inline constexpr uint8_t kImplementsOp = 0x2c;
inline constexpr uint8_t kRandomNumber = 0x30;
inline constexpr uint8_t kMbStringLength = 0x31;
inline constexpr uint8_t kCharToAscii = 0x32;
inline constexpr uint8_t kAsciiToChar = 0x33;
inline constexpr uint8_t kGetTime = 0x34;
inline constexpr uint8_t kMbStringExtract = 0x35;
inline constexpr uint8_t kMbCharToAscii = 0x36;
inline constexpr uint8_t kMbAsciiToChar = 0x37;
inline constexpr uint8_t kDelete = 0x3a;
inline constexpr uint8_t kDelete2 = 0x3b;
inline constexpr uint8_t kDefineLocal = 0x3c;
inline constexpr uint8_t kCallFunction = 0x3d;
inline constexpr uint8_t kReturn = 0x3e;
inline constexpr uint8_t kModulo = 0x3f;
inline constexpr uint8_t kNewObject = 0x40;
inline constexpr uint8_t kDefineLocal2 = 0x41;
inline constexpr uint8_t kInitArray = 0x42;
inline constexpr uint8_t kInitObject = 0x43;
inline constexpr uint8_t kTypeOf = 0x44;
inline constexpr uint8_t kTargetPath = 0x45;
inline constexpr uint8_t kEnumerate = 0x46;
inline constexpr uint8_t kAdd2 = 0x47;
inline constexpr uint8_t kLess2 = 0x48;
inline constexpr uint8_t kEquals2 = 0x49;
inline constexpr uint8_t kToNumber = 0x4a;
inline constexpr uint8_t kToString = 0x4b;
inline constexpr uint8_t kPushDuplicate = 0x4c;
inline constexpr uint8_t kStackSwap = 0x4d;
inline constexpr uint8_t kGetMember = 0x4e;
inline constexpr uint8_t kSetMember = 0x4f;
inline constexpr uint8_t kIncrement = 0x50;
inline constexpr uint8_t kDecrement = 0x51;
inline constexpr uint8_t kCallMethod = 0x52;
inline constexpr uint8_t kNewMethod = 0x53;
inline constexpr uint8_t kInstanceOf = 0x54;
inline constexpr uint8_t kEnumerate2 = 0x55;
inline constexpr uint8_t kBitAnd = 0x60;
inline constexpr uint8_t kBitOr = 0x61;
inline constexpr uint8_t kBitXor = 0x62;
inline constexpr uint8_t kBitLShift = 0x63;
inline constexpr uint8_t kBitRShift = 0x64;
inline constexpr uint8_t kBitURShift = 0x65;
inline constexpr uint8_t kStrictEquals = 0x66;
inline constexpr uint8_t kGreater = 0x67;
inline constexpr uint8_t kStringGreater = 0x68;
inline constexpr uint8_t kExtends = 0x69;
inline constexpr uint8_t kGotoFrame = 0x81;
inline constexpr uint8_t kGetUrl = 0x83;
inline constexpr uint8_t kStoreRegister = 0x87;
inline constexpr uint8_t kConstantPool = 0x88;
inline constexpr uint8_t kWaitForFrame = 0x8a;
inline constexpr uint8_t kSetTarget = 0x8b;
inline constexpr uint8_t kGotoLabel = 0x8c;
inline constexpr uint8_t kWaitForFrame2 = 0x8d;
inline constexpr uint8_t kDefineFunction2 = 0x8e;
inline constexpr uint8_t kTry = 0x8f;
inline constexpr uint8_t kWith = 0x94;
inline constexpr uint8_t kPush = 0x96;
inline constexpr uint8_t kJump = 0x99;
inline constexpr uint8_t kGetUrl2 = 0x9a;
inline constexpr uint8_t kDefineFunction = 0x9b;
inline constexpr uint8_t kIf = 0x9d;
inline constexpr uint8_t kCall = 0x9e;
inline constexpr uint8_t kGotoFrame2 = 0x9f;

// The first opcode that carries a length and a payload.
inline constexpr uint8_t kFirstWithPayload = 0x80;

// Types of the values a Push carries.
namespace push {
inline constexpr uint8_t kString = 0;
inline constexpr uint8_t kFloat = 1;
inline constexpr uint8_t kNull = 2;
inline constexpr uint8_t kUndefined = 3;
inline constexpr uint8_t kRegister = 4;
inline constexpr uint8_t kBoolean = 5;
inline constexpr uint8_t kDouble = 6;
inline constexpr uint8_t kInteger = 7;
inline constexpr uint8_t kConstant8 = 8;
inline constexpr uint8_t kConstant16 = 9;
} // namespace push
} // namespace action

} // namespace movie
