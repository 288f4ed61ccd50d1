// The tree of built-in globals as the player builds it: every global, class,
// prototype and nested object with its members in the order the player
// creates them (enumeration lists the newest first) and with their flags.
// The classes install their behaviour in files of their own; this table
// then puts their members in the player's order, sets the player's flags and
// adds, quietly, the members the saver has no behaviour for.
//
// One line per object, parents before children:
//   Path [FLAGS]: member member ...
// members oldest first. A member is  name[:kind | =literal | @path][/FLAGS].
// Kinds (used only when the member is missing): f a function (the default),
// F a function with a prototype of its own, B a bare function (no prototype
// chain at all), o a plain object, a an array, g a property of the prototype
// that reads undefined and keeps no value. A literal is a number, 'text',
// true, false or null; @path is an object found from _global; -name takes a
// member away (-__proto__ leaves the chain in place). Flags: H hidden
// from enumeration, D kept from delete, R read-only; the line's FLAGS are the
// default of its members. Unless a line names them, constructor and __proto__
// come first, hidden and kept (read-only too when the default is).
#include "movie/script/Classes.h"

#include <sstream>
#include <unordered_set>

namespace movie::script {

namespace {

const char* const kTree = R"(
_global: ASnative:B ASconstructor:B Object Function enableDebugConsole:B NaN Infinity MovieClip XMLSocket:F AsBroadcaster Color NetConnection:F NetStream:F Camera:F Microphone:F SharedObject:F ContextMenuItem:F ContextMenu:F Error AsSetupError:F AssetCache:F RemoteLSOUsage:F ASSetPropFlags ASSetNative ASSetNativeAccessor escape unescape parseInt parseFloat trace updateAfterEvent isNaN isFinite setInterval clearTimeout clearInterval setTimeout showRedrawRegions addRequestHeader:F clearRequestHeaders:F o=null Number Boolean Date String Array Math Sound:F XMLNode:F XML:F LoadVars:F Selection:o Mouse:o Key:o Button:F TextField:F TextFormat:F Stage:o Video:F Accessibility:o SoundCodec:o System:o flash:o textRenderer@flash.text.TextRenderer LocalConnection:F MovieClipLoader:F PrintJob:F TextSnapshot:F
Object [HDR]: prototype constructor __proto__ registerClass
Object.prototype [HD]: constructor watch unwatch addProperty valueOf toString hasOwnProperty isPrototypeOf isPropertyEnumerable toLocaleString:F
Function [HD]: prototype constructor __proto__
Function.prototype [HD]: call apply
MovieClip [HD]: prototype
MovieClip.prototype [HD]: useHandCursor=true enabled=true tabIndex:g/HDR _lockroot:g/HDR cacheAsBitmap:g/HDR opaqueBackground:g/HDR scrollRect:g/HDR filters:g/HDR transform:g/HDR blendMode:g/HDR forceSmoothing:g/HDR scale9Grid:g/HDR meth getURL unloadMovie loadVariables loadMovie attachMovie swapDepths localToGlobal globalToLocal hitTest getBounds getBytesTotal getBytesLoaded attachAudio attachVideo getDepth setMask play stop nextFrame prevFrame gotoAndPlay gotoAndStop duplicateMovieClip removeMovieClip startDrag stopDrag getNextHighestDepth getInstanceAtDepth getSWFVersion attachBitmap getRect createEmptyMovieClip beginFill beginGradientFill moveTo lineTo curveTo lineStyle endFill clear lineGradientStyle beginMeshFill beginBitmapFill createTextField getTextSnapshot
XMLSocket [HD]: prototype
XMLSocket.prototype [HD]: connect send close onData getTimeout setTimeout
AsBroadcaster [HD]: prototype broadcastMessage addListener:F removeListener:F initialize
Color [HD]: prototype
Color.prototype [HDR]: setRGB setTransform getRGB getTransform
NetConnection [HD]: prototype
NetConnection.prototype [HD]: proxyType='none' connectedProxyType:g/HDR usingTLS:g/HDR protocol:g/HDR connect close call addHeader nearNonce:g/HDR farNonce:g/HDR
NetStream [HD]: prototype
NetStream.prototype [HD]: publish play play2 receiveAudio receiveVideo pause seek onPeerConnect close attachAudio attachVideo send setBufferTime getInfo checkPolicyFile:g/HDR maxPauseBufferTime:g/HDR backBufferTime:g/HDR
Camera [HD]: prototype get/- names:a/R
Camera.prototype [HD]: setMode setQuality setKeyFrameInterval setMotionLevel setLoopback setCursor
Microphone [HD]: prototype get/- names:a/R
Microphone.prototype [HD]: setSilenceLevel setRate setGain setUseEchoSuppression setCodec setFramesPerPacket setEncodeQuality
SharedObject [HD]: prototype getLocal/- getRemote/- deleteAll/H getDiskUsage/H
SharedObject.prototype [HD]: connect send flush close getSize setFps clear
ContextMenuItem [HD]: prototype
ContextMenuItem.prototype [HD]: copy
ContextMenu [HD]: prototype
ContextMenu.prototype [HD]: copy hideBuiltInItems
Error [HD]: prototype
Error.prototype [HD]: message/- name/- toString
AsSetupError [HD]: prototype
AssetCache [HD]: prototype purge/H getDiskUsage/H
RemoteLSOUsage [HD]: prototype getURLPageSupport/H
Number [HDR]: prototype constructor __proto__ NaN POSITIVE_INFINITY NEGATIVE_INFINITY MIN_VALUE MAX_VALUE
Number.prototype [HD]: valueOf toString
Boolean [HD]: prototype constructor __proto__
Boolean.prototype [HD]: valueOf toString
Date [HDR]: prototype constructor __proto__ UTC
Date.prototype [HD]: getFullYear getYear getMonth getDate getDay getHours getMinutes getSeconds getMilliseconds setFullYear setMonth setDate setHours setMinutes setSeconds setMilliseconds getTime setTime getTimezoneOffset toString setYear getUTCFullYear getUTCYear getUTCMonth getUTCDate getUTCDay getUTCHours getUTCMinutes getUTCSeconds getUTCMilliseconds setUTCFullYear setUTCMonth setUTCDate setUTCHours setUTCMinutes setUTCSeconds setUTCMilliseconds valueOf
String [HD]: prototype constructor __proto__ fromCharCode
String.prototype [HD]: valueOf toString toUpperCase toLowerCase charAt charCodeAt concat indexOf lastIndexOf slice substring split substr
Array [HD]: prototype constructor __proto__ CASEINSENSITIVE/- DESCENDING/- UNIQUESORT/- RETURNINDEXEDARRAY/- NUMERIC/-
Array.prototype [HD]: push pop concat shift unshift slice join splice toString sort reverse sortOn
Math [HDR]: SQRT2 SQRT1_2 PI LOG2E LOG10E LN2 LN10 E abs min max sin cos atan2 tan exp log sqrt round random floor ceil atan asin acos pow
Sound [HD]: prototype constructor __proto__
Sound.prototype [HDR]: getPan getTransform getVolume setPan setTransform setVolume stop attachSound start getDuration setDuration getPosition setPosition loadSound getBytesLoaded getBytesTotal areSoundsInaccessible checkPolicyFile:g
XMLNode [HD]: prototype constructor __proto__
XMLNode.prototype [-]: cloneNode removeNode insertBefore appendChild hasChildNodes toString getNamespaceForPrefix getPrefixForNamespace attributes:g/R childNodes:g/R firstChild:g/R lastChild:g/R nextSibling:g/R nodeName:g/R nodeType:g/R nodeValue:g/R parentNode:g/R previousSibling:g/R prefix:g/R localName:g/R namespaceURI:g/R
XML [HD]: prototype constructor __proto__
XML.prototype [HD]: -constructor -__proto__
LoadVars [HD]: prototype constructor __proto__
LoadVars.prototype [HD]: load send sendAndLoad decode getBytesLoaded getBytesTotal toString contentType='application/x-www-form-urlencoded' onLoad onData addRequestHeader
Selection [HDR]: getBeginIndex getEndIndex getCaretIndex getFocus setFocus setSelection broadcastMessage addListener removeListener _listeners:a
Mouse [HDR]: show hide setTrailer setTrailerPosition setTrailerMode broadcastMessage addListener removeListener _listeners:a
Key [HDR]: CAPSLOCK=20 BACKSPACE=8 DELETEKEY=46 INSERT=45 ESCAPE=27 SHIFT=16 CONTROL=17 TAB=9 END=35 HOME=36 PGDN=34 PGUP=33 RIGHT=39 LEFT=37 DOWN=40 UP=38 SPACE=32 ENTER=13 ALT=18 getAscii getCode isDown isToggled isAccessible broadcastMessage addListener removeListener _listeners:a
Button [HD]: prototype constructor __proto__
Button.prototype [HD]: useHandCursor=true/- enabled=true/- getDepth/- scale9Grid:g/R filters:g/R cacheAsBitmap:g/R blendMode:g/R
TextField [HD]: prototype constructor __proto__ getFontList StyleSheet:F
TextField.prototype [HD]: replaceSel getTextFormat setTextFormat removeTextField getNewTextFormat setNewTextFormat getDepth replaceText broadcastMessage addListener removeListener _listeners:a gridFitType:g/R antiAliasType:g/R thickness:g/R sharpness:g/R filters:g/R
Stage._listeners [HD]: constructor
Key._listeners [HD]: constructor
Mouse._listeners [HD]: constructor
Selection._listeners [HD]: constructor
TextFormat [HD]: prototype constructor __proto__
Stage [HD]: align/R scaleMode/R height/R width/R showMenu/R displayState='normal'/R fullScreenSourceRect=null/R fullScreenHeight=1080/R fullScreenWidth=1920/R wmodeGPU=false/R broadcastMessage addListener removeListener _listeners:a
Video [HD]: prototype constructor __proto__
Video.prototype [HD]: attachVideo clear
Accessibility [DR]: constructor/HDR __proto__/HDR isActive sendEvent updateProperties
SoundCodec [-]: SPEEX='Speex' NELLYMOSER='Nellymoser'
System [-]: capabilities:o Product:F showSettings exactSettings=true/R useCodepage=false/R security:o setClipboard IME:o privateBytes=0/R
System.capabilities [-]: hasAccessibility=true pixelAspectRatio=1 screenColor='color' screenDPI=72 screenResolutionY screenResolutionX hasTLS=true hasVideoEncoder=true hasAudioEncoder=true hasMP3=true hasAudio serverString='' version hasStreamingAudio=true hasStreamingVideo=true hasEmbeddedVideo=true hasPrinting=true hasScreenPlayback=true hasScreenBroadcast=false isDebugger=false playerType avHardwareDisable=false localFileReadDisable=false windowlessDisable=false maxLevelIDC='5.1' isEmbeddedInAcrobat=false manufacturer='Windows' os cpuArchitecture='x86' cpuAddressSize=64 language hasIME=false supports32BitProcesses=true supports64BitProcesses=true _internal=0/HDR
System.Product [HD]: prototype
System.Product.prototype [HD]: isRunning isInstalled launch download validate installedVersion
System.security [-]: __proto__/HD __constructor__@Object/H allowDomain allowInsecureDomain loadPolicyFile chooseLocalSwfPath escapeDomain sandboxType='localTrusted'/R PolicyFileResolver:F
System.security.PolicyFileResolver [HD]: prototype
System.security.PolicyFileResolver.prototype [-]: resolve broadcastMessage/HD addListener/HD removeListener/HD _listeners:a/HD
System.IME [HDR]: UNKNOWN='UNKNOWN' KOREAN='KOREAN' JAPANESE_KATAKANA_HALF='JAPANESE_KATAKANA_HALF' JAPANESE_KATAKANA_FULL='JAPANESE_KATAKANA_FULL' JAPANESE_HIRAGANA='JAPANESE_HIRAGANA' CHINESE='CHINESE' ALPHANUMERIC_HALF='ALPHANUMERIC_HALF' ALPHANUMERIC_FULL='ALPHANUMERIC_FULL' getEnabled setEnabled getConversionMode setConversionMode setCompositionString doConversion broadcastMessage addListener removeListener _listeners:a
flash [-]: text:o display:o filters:o geom:o net:o external:o automation:o
flash.text [-]: TextRenderer:F
flash.text.TextRenderer [-]: prototype/HD constructor/HD __proto__/HD setAdvancedAntialiasingTable maxLevel=4/R displayMode='default'/R
flash.display [-]: BitmapData
flash.display.BitmapData [-]: prototype/HD constructor/HD __proto__/HD RED_CHANNEL=1 GREEN_CHANNEL=2 BLUE_CHANNEL=4 ALPHA_CHANNEL=8 loadBitmap
flash.display.BitmapData.prototype [-]: width=-1/R height=-1/R rectangle/R transparent=-1/R getPixel setPixel fillRect copyPixels applyFilter scroll threshold draw pixelDissolve getPixel32 setPixel32 floodFill getColorBoundsRect perlinNoise colorTransform hitTest paletteMap merge noise copyChannel clone dispose generateFilterRect compare
flash.filters [-]: BitmapFilter DropShadowFilter BlurFilter GlowFilter BevelFilter GradientGlowFilter GradientBevelFilter ConvolutionFilter ColorMatrixFilter DisplacementMapFilter
flash.filters.BitmapFilter [-]: prototype/HD constructor/HD __proto__/HD
flash.filters.BitmapFilter.prototype [-]: clone
flash.filters.DropShadowFilter [-]: prototype/HD constructor/HD __proto__/HD
flash.filters.DropShadowFilter.prototype [R g]: -constructor __proto__/HD __constructor__:f/H distance angle color alpha quality inner knockout blurX blurY strength hideObject
flash.filters.BlurFilter [-]: prototype/HD constructor/HD __proto__/HD
flash.filters.BlurFilter.prototype [R g]: -constructor __proto__/HD __constructor__:f/H blurX blurY quality
flash.filters.GlowFilter [-]: prototype/HD constructor/HD __proto__/HD
flash.filters.GlowFilter.prototype [R g]: -constructor __proto__/HD __constructor__:f/H color alpha quality inner knockout blurX blurY strength
flash.filters.BevelFilter [-]: prototype/HD constructor/HD __proto__/HD
flash.filters.BevelFilter.prototype [R g]: -constructor __proto__/HD __constructor__:f/H distance angle highlightColor highlightAlpha shadowColor shadowAlpha quality strength knockout blurX blurY type
flash.filters.GradientGlowFilter [-]: prototype/HD constructor/HD __proto__/HD
flash.filters.GradientGlowFilter.prototype [R g]: -constructor __proto__/HD __constructor__:f/H distance angle colors alphas ratios blurX blurY quality strength knockout type
flash.filters.GradientBevelFilter [-]: prototype/HD constructor/HD __proto__/HD
flash.filters.GradientBevelFilter.prototype [R g]: -constructor __proto__/HD __constructor__:f/H distance angle colors alphas ratios blurX blurY quality strength knockout type
flash.filters.ConvolutionFilter [-]: prototype/HD constructor/HD __proto__/HD
flash.filters.ConvolutionFilter.prototype [R g]: -constructor __proto__/HD __constructor__:f/H matrixX matrixY matrix divisor bias preserveAlpha clamp color alpha
flash.filters.ColorMatrixFilter [-]: prototype/HD constructor/HD __proto__/HD
flash.filters.ColorMatrixFilter.prototype [R g]: -constructor __proto__/HD __constructor__:f/H matrix
flash.filters.DisplacementMapFilter [-]: prototype/HD constructor/HD __proto__/HD
flash.filters.DisplacementMapFilter.prototype [R g]: -constructor __proto__/HD __constructor__:f/H mapBitmap mapPoint componentX componentY scaleX scaleY mode color alpha
flash.geom [-]: Rectangle Point Matrix ColorTransform Transform
flash.geom.Rectangle [-]: prototype/HD
flash.geom.Rectangle.prototype [-]: clone setEmpty isEmpty left right/R top bottom/R topLeft/R bottomRight/R size/R inflate inflatePoint offset offsetPoint contains containsPoint containsRectangle intersection intersects union equals toString
flash.geom.Point [-]: prototype/HD distance polar interpolate
flash.geom.Point.prototype [-]: length/R clone offset equals subtract add normalize toString
flash.geom.Matrix [-]: prototype/HD
flash.geom.Matrix.prototype [-]: concat invert createBox createGradientBox clone identity rotate translate scale deltaTransformPoint transformPoint toString
flash.geom.ColorTransform [-]: prototype/HD constructor/HD __proto__/HD
flash.geom.ColorTransform.prototype [-]: alphaMultiplier/R redMultiplier/R greenMultiplier/R blueMultiplier/R alphaOffset/R redOffset/R greenOffset/R blueOffset/R rgb/R concat toString
flash.geom.Transform [-]: prototype/HD constructor/HD __proto__/HD
flash.geom.Transform.prototype [R g]: matrix concatenatedMatrix colorTransform concatenatedColorTransform pixelBounds
flash.net [-]: FileReference:F FileReferenceList:F
flash.net.FileReferenceList [-]: prototype/HD
flash.net.FileReferenceList.prototype [HD]: broadcastMessage addListener removeListener _listeners:a browse
flash.net.FileReference [-]: prototype/HD
flash.net.FileReference.prototype [HD]: broadcastMessage addListener removeListener _listeners:a browse upload download cancel convertToPPT deleteConvertedPPT
flash.external [-]: ExternalInterface:F
flash.external.ExternalInterface [HDR]: constructor __proto__ prototype _initJS _objectID _addCallback _evalJS _callOut _escapeXML _unescapeXML _jsQuoteString _useSetReturnValueHack available=false addCallback call _callIn _arrayToXML _argumentsToXML _objectToXML _toXML _objectToAS _arrayToAS _toAS _argumentsToAS _arrayToJS _objectToJS _toJS
flash.automation [-]: StageCapture:F ActionGenerator:F Configuration:F
flash.automation.Configuration [-]: prototype/HD
flash.automation.Configuration.prototype [-]: getTestAutomationConfiguration getDeviceConfiguration setDeviceConfiguration valueOf toString
flash.automation.ActionGenerator [-]: prototype/HD
flash.automation.ActionGenerator.prototype [-]: generateAction generateActions valueOf toString
flash.automation.StageCapture [-]: prototype/HD constructor/HD __proto__/HD
flash.automation.StageCapture.prototype [HD]: capture cancel getFileNameBase setFileNameBase getClipRect setClipRect listenForStageCapture valueOf/D toString/D
LocalConnection [HD]: prototype constructor __proto__
LocalConnection.prototype [HD]: connect send close domain isPerUser:g/HDR
MovieClipLoader [HD]: prototype constructor __proto__
MovieClipLoader.prototype [HD]: loadClip getProgress unloadClip broadcastMessage addListener removeListener _listeners:a
PrintJob [HD]: prototype constructor __proto__
PrintJob.prototype [HD]: start addPage send
TextSnapshot [HD]: prototype constructor __proto__
TextSnapshot.prototype [-]: getCount setSelected getSelected getText getSelectedText hitTestTextNearPos findText setSelectColor getTextRunInfo
)";

uint8_t ParseFlags(const std::string& s) {
    uint8_t f = 0;
    for (char c : s)
        f |= c == 'H' ? kDontEnum : c == 'D' ? kDontDelete : c == 'R' ? kReadOnly : 0;
    return f;
}

struct Member {
    std::string name;
    char kind = 'f';
    std::string literal; // after '=' or '@'
    bool alias = false;
    bool hasLiteral = false;
    uint8_t flags = 0;
};

Member ParseMember(const std::string& tok, uint8_t defaults, char kind) {
    Member m;
    m.flags = defaults;
    m.kind = kind;
    std::string t = tok;
    if (size_t slash = t.rfind('/');
        slash != std::string::npos && t.find_first_not_of("HDR-", slash + 1) == std::string::npos) {
        m.flags = ParseFlags(t.substr(slash + 1));
        t.resize(slash);
    }
    if (size_t at = t.find('@'); at != std::string::npos) {
        m.alias = true;
        m.literal = t.substr(at + 1);
        t.resize(at);
    } else if (size_t eq = t.find('='); eq != std::string::npos) {
        m.hasLiteral = true;
        m.literal = t.substr(eq + 1);
        t.resize(eq);
    } else if (size_t colon = t.find(':'); colon != std::string::npos) {
        m.kind = t[colon + 1];
        t.resize(colon);
    }
    m.name = t;
    return m;
}

Value ParseLiteral(const std::string& s) {
    if (s == "null") return Value::Null();
    if (s == "true") return Value(true);
    if (s == "false") return Value(false);
    if (!s.empty() && s.front() == '\'') return Value(s.substr(1, s.size() - 2));
    return Value(std::stod(s));
}

} // namespace

Object* Vm::TreeObject(const std::string& path) {
    Object* o = global;
    std::string part;
    std::istringstream in(path);
    while (o && std::getline(in, part, '.')) {
        if (part == "_global") continue;
        Property* p = o->FindOwn(part, false);
        o = p && p->value.IsObject() ? p->value.o : nullptr;
    }
    return o;
}

void Vm::GiveOwnPrototype(Function* fn) {
    if (fn->FindOwn("prototype", false)) return;
    Object* proto = NewObject();
    proto->SetOwn("constructor", Value(static_cast<Object*>(fn)), kDontEnum | kDontDelete);
    ProtoSlot(proto);
    fn->SetOwn("prototype", Value(proto), kDontEnum | kDontDelete);
}

void Vm::ShapeBuiltinTree() {
    // Quiet stand-ins share these.
    Native quiet = [](Vm&, Value, Args&) { return Value(); };
    Function* readsNothing = NewNative(quiet, "get");
    Function* keepsNothing = NewNative(quiet, "set");
    std::unordered_set<Object*> bare;

    std::istringstream lines(kTree);
    std::string line;
    while (std::getline(lines, line)) {
        size_t colon = line.find(": ");
        if (colon == std::string::npos) continue;
        std::string head = line.substr(0, colon);
        uint8_t defaults = kDontEnum;
        char kind = 'f';
        if (size_t br = head.find(" ["); br != std::string::npos) {
            std::string spec = head.substr(br + 2, head.size() - br - 3);
            if (size_t sp = spec.find(' '); sp != std::string::npos) {
                kind = spec[sp + 1];
                spec.resize(sp);
            }
            defaults = ParseFlags(spec);
            head.resize(br);
        }
        Object* o = TreeObject(head);
        if (!o) continue;
        std::vector<Member> members;
        bool namesOrigin = false;
        std::istringstream toks(line.substr(colon + 2));
        for (std::string tok; toks >> tok;) {
            // -name: a member the player's object does not have.
            if (tok[0] == '-') {
                namesOrigin |= tok == "-constructor" || tok == "-__proto__";
                // An object without __proto__ of its own still has its chain.
                if (tok == "-__proto__") bare.insert(o);
                if (Property* gone = o->FindOwn(tok.substr(1), false)) gone->flags = 0;
                o->DeleteOwn(tok.substr(1), false);
                continue;
            }
            members.push_back(ParseMember(tok, defaults, kind));
        }
        // An object listing _listeners is a broadcaster.
        for (const Member& m : members)
            if (m.name == "_listeners" && !o->FindOwn("_listeners", false)) {
                Object* broadcaster = TreeObject("AsBroadcaster");
                Args args{Value(o)};
                if (broadcaster) CallTop(Get(broadcaster, "initialize"), Value(), args);
            }
        for (const Member& m : members)
            namesOrigin |= m.name == "constructor" || m.name == "__proto__";
        if (!namesOrigin && head != "_global") {
            // Objects made read-only as a whole have read-only origins too.
            uint8_t keep = kDontEnum | kDontDelete | ((defaults & kDontDelete) ? (defaults & kReadOnly) : 0);
            Member c, p;
            c.name = "constructor";
            c.flags = keep;
            p.name = "__proto__";
            p.flags = keep;
            members.insert(members.begin(), {c, p});
        }

        std::vector<std::string> order;
        for (const Member& m : members) {
            order.push_back(m.name);
            if (m.name == "__proto__") {
                if (!o->proto && !o->FindOwn("__proto__", true)) continue;
                ProtoSlot(o)->flags = m.flags;
                continue;
            }
            Property* p = o->FindOwn(m.name, false);
            if (!p && m.name == "constructor") {
                Object* ctor = o->IsFunction()           ? static_cast<Object*>(functionCtor)
                               : dynamic_cast<Array*>(o) ? static_cast<Object*>(arrayCtor)
                                                         : static_cast<Object*>(objectCtor);
                p = &o->SetOwn("constructor", Value(ctor));
            }
            if (!p) {
                Value v;
                if (m.alias) {
                    v = Value(TreeObject(m.literal));
                } else if (m.hasLiteral) {
                    v = ParseLiteral(m.literal);
                } else if (m.kind == 'o') {
                    v = Value(NewObject());
                } else if (m.kind == 'a') {
                    v = Value(static_cast<Object*>(NewArray()));
                } else if (m.kind != 'g' && m.kind != 'u') {
                    Function* fn = NewNative(quiet, m.name);
                    if (m.kind == 'F') GiveOwnPrototype(fn);
                    if (m.kind == 'B') {
                        fn->proto = nullptr;
                        bare.insert(fn);
                    }
                    v = Value(static_cast<Object*>(fn));
                }
                p = &o->SetOwn(m.name, v);
                if (m.kind == 'g') {
                    p->virt = true;
                    p->getter = readsNothing;
                    p->setter = keepsNothing;
                }
            } else if (m.kind == 'F' && p->value.IsObject() && p->value.o->IsFunction()) {
                GiveOwnPrototype(static_cast<Function*>(p->value.o));
            } else if (m.kind == 'B' && p->value.IsObject()) {
                p->value.o->proto = nullptr;
                bare.insert(p->value.o);
            }
            p->flags = m.flags;
        }
        o->Reorder(order);
    }

    // Every function of the tree holds its constructor and prototype chain
    // as members of its own, made before any other.
    std::vector<Object*> todo{global};
    std::unordered_set<Object*> seen{global};
    while (!todo.empty()) {
        Object* o = todo.back();
        todo.pop_back();
        for (const Object::Slot& s : o->Slots())
            if (s.prop.value.IsObject() && seen.insert(s.prop.value.o).second) todo.push_back(s.prop.value.o);
        if (!o->IsFunction()) {
            // Objects hold their prototype chain too, made just after their
            // constructor, and both stay.
            if (Property* c = o->FindOwn("constructor", false)) c->flags |= kDontDelete;
            if (dynamic_cast<Array*>(o) || bare.count(o) || !o->proto || o->FindOwn("__proto__", true))
                continue;
            ProtoSlot(o);
            std::vector<std::string> order;
            if (o->FindOwn("constructor", false)) order.push_back("constructor");
            order.push_back("__proto__");
            for (const Object::Slot& s : o->Slots())
                if (s.name != "constructor" && s.name != "__proto__") order.push_back(s.name);
            o->Reorder(order);
            continue;
        }
        if (bare.count(o) || o->FindOwn("constructor", false)) continue;
        std::vector<std::string> order{"constructor", "__proto__"};
        o->SetOwn("constructor", Value(static_cast<Object*>(functionCtor)), kDontEnum | kDontDelete);
        ProtoSlot(o);
        for (const Object::Slot& s : o->Slots())
            if (s.name != "constructor" && s.name != "__proto__") order.push_back(s.name);
        o->Reorder(order);
    }
}

} // namespace movie::script
