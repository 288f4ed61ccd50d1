#include "movie/TagNames.h"

#include "movie/SwfCodes.h"

namespace movie {

std::string TagName(uint16_t code) {
    switch (code) {
    case tag::kEnd: return "End";
    case tag::kShowFrame: return "ShowFrame";
    case tag::kDefineShape: return "DefineShape";
    case tag::kPlaceObject: return "PlaceObject";
    case tag::kRemoveObject: return "RemoveObject";
    case tag::kDefineBits: return "DefineBits";
    case tag::kDefineButton: return "DefineButton";
    case tag::kJpegTables: return "JPEGTables";
    case tag::kSetBackgroundColor: return "SetBackgroundColor";
    case tag::kDefineFont: return "DefineFont";
    case tag::kDefineText: return "DefineText";
    case tag::kDoAction: return "DoAction";
    case tag::kDefineFontInfo: return "DefineFontInfo";
    case tag::kDefineSound: return "DefineSound";
    case tag::kStartSound: return "StartSound";
    case tag::kDefineButtonSound: return "DefineButtonSound";
    case tag::kSoundStreamHead: return "SoundStreamHead";
    case tag::kSoundStreamBlock: return "SoundStreamBlock";
    case tag::kDefineBitsLossless: return "DefineBitsLossless";
    case tag::kDefineBitsJpeg2: return "DefineBitsJPEG2";
    case tag::kDefineShape2: return "DefineShape2";
    case tag::kDefineButtonCxform: return "DefineButtonCxform";
    case tag::kProtect: return "Protect";
    case tag::kPlaceObject2: return "PlaceObject2";
    case tag::kRemoveObject2: return "RemoveObject2";
    case tag::kDefineShape3: return "DefineShape3";
    case tag::kDefineText2: return "DefineText2";
    case tag::kDefineButton2: return "DefineButton2";
    case tag::kDefineBitsJpeg3: return "DefineBitsJPEG3";
    case tag::kDefineBitsLossless2: return "DefineBitsLossless2";
    case tag::kDefineEditText: return "DefineEditText";
    case tag::kDefineSprite: return "DefineSprite";
    case tag::kProductInfo: return "ProductInfo";
    case tag::kFrameLabel: return "FrameLabel";
    case tag::kSoundStreamHead2: return "SoundStreamHead2";
    case tag::kDefineMorphShape: return "DefineMorphShape";
    case tag::kDefineFont2: return "DefineFont2";
    case tag::kExportAssets: return "ExportAssets";
    case tag::kImportAssets: return "ImportAssets";
    case tag::kEnableDebugger: return "EnableDebugger";
    case tag::kDoInitAction: return "DoInitAction";
    case tag::kDefineVideoStream: return "DefineVideoStream";
    case tag::kVideoFrame: return "VideoFrame";
    case tag::kDefineFontInfo2: return "DefineFontInfo2";
    case tag::kDebugId: return "DebugID";
    case tag::kEnableDebugger2: return "EnableDebugger2";
    case tag::kScriptLimits: return "ScriptLimits";
    case tag::kSetTabIndex: return "SetTabIndex";
    case tag::kFileAttributes: return "FileAttributes";
    case tag::kPlaceObject3: return "PlaceObject3";
    case tag::kImportAssets2: return "ImportAssets2";
    case tag::kDefineFontAlignZones: return "DefineFontAlignZones";
    case tag::kCsmTextSettings: return "CSMTextSettings";
    case tag::kDefineFont3: return "DefineFont3";
    case tag::kSymbolClass: return "SymbolClass";
    case tag::kMetadata: return "Metadata";
    case tag::kDefineScalingGrid: return "DefineScalingGrid";
    case tag::kDoAbc: return "DoABC";
    case tag::kDefineShape4: return "DefineShape4";
    case tag::kDefineMorphShape2: return "DefineMorphShape2";
    case tag::kDefineSceneAndFrameLabelData: return "DefineSceneAndFrameLabelData";
    case tag::kDefineBinaryData: return "DefineBinaryData";
    case tag::kDefineFontName: return "DefineFontName";
    case tag::kStartSound2: return "StartSound2";
    case tag::kDefineBitsJpeg4: return "DefineBitsJPEG4";
    case tag::kDefineFont4: return "DefineFont4";
    case tag::kEnableTelemetry: return "EnableTelemetry";
    case tag::kPlaceObject4: return "PlaceObject4";
    default: return "Tag" + std::to_string(code);
    }
}

} // namespace movie
