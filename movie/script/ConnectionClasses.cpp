// The connections a movie may open: LocalConnection (to other movies on
// the machine), NetConnection and NetStream (to a media server), XMLSocket.
// A saver runs alone and offline: nothing connects, and each attempt is
// logged once. A connection object is native; a NetConnection's prototype
// cannot be changed at all.
#include "movie/script/NativeClasses.h"

namespace movie::script {

namespace {

class NetConnectionObject : public Object {
  public:
    bool KeepsProto() const override { return true; }
};

Native Quiet() {
    return [](Vm&, Value, Args&) { return Value(); };
}

// A connection that cannot be made: logged, refused.
Native Refused(const std::string& what) {
    return [what](Vm& vm, Value, Args& a) {
        LogInert(vm, what + " " + vm.ToString(Arg(a, 0)));
        return Value(false);
    };
}

void InstallLocalConnection(Vm& vm) {
    Object* proto = vm.NewObject();
    SuperGivesThis(AddNativeClass(vm, vm.global, "LocalConnection", proto));
    AddMethods(vm, proto,
               {{"connect", Refused("LocalConnection.connect")},
                {"send", Refused("LocalConnection.send")},
                {"close", Quiet()},
                // Movies played from the machine itself.
                {"domain", [](Vm&, Value, Args&) { return Value("localhost"); }}});
    proto->SetOwn("isPerUser", Value(), kDontEnum | kReadOnly);
}

void InstallNetConnection(Vm& vm) {
    Object* proto = vm.NewObject();
    // Not connected until connect() is called.
    auto setup = [](Vm&, Object* o, Args&) { o->SetOwn("isConnected", Value(false)); };
    Function* ctor = AddNativeClass(vm, vm.global, "NetConnection", proto, setup);
    ctor->nativeConstruct = [setup](Vm& vm, Value, Args& a) {
        auto* o = vm.New<NetConnectionObject>(vm.objectProto);
        MakeNative(o, "NetConnection");
        setup(vm, o, a);
        return Value(static_cast<Object*>(o));
    };
    proto->SetOwn("proxyType", Value("none"), kDontEnum);
    for (const char* name : {"connectedProxyType", "usingTLS", "protocol"})
        proto->SetOwn(name, Value(), kDontEnum | kReadOnly);
    AddMethods(vm, proto,
               {// connect(null) plays local streams and needs no server; any other goes nowhere.
                {"connect",
                 [](Vm& vm, Value self, Args& a) {
                     bool local = Arg(a, 0).type == Value::Type::Null;
                     if (self.IsObject()) vm.Set(self.o, "isConnected", Value(local));
                     if (local) return Value(true);
                     LogInert(vm, "NetConnection.connect " + vm.ToString(Arg(a, 0)));
                     return Value(false);
                 }},
                {"close", Quiet()},
                {"call", Refused("NetConnection.call")},
                {"addHeader", Quiet()}});
    for (const char* name : {"nearNonce", "farNonce"})
        proto->SetOwn(name, Value(), kDontEnum | kReadOnly);
}

void InstallNetStream(Vm& vm) {
    Object* proto = vm.NewObject();
    AddPlainClass(vm, vm.global, "NetStream", proto);
    AddMethods(vm, proto,
               {{"publish", Refused("NetStream.publish")},
                {"play", Refused("NetStream.play")},
                {"play2", Refused("NetStream.play2")},
                {"receiveAudio", Quiet()},
                {"receiveVideo", Quiet()},
                {"pause", Quiet()},
                {"seek", Quiet()},
                {"onPeerConnect", [](Vm&, Value, Args&) { return Value(true); }},
                {"close", Quiet()},
                {"attachAudio", Quiet()},
                {"attachVideo", Quiet()},
                {"send", Quiet()},
                {"setBufferTime",
                 [](Vm& vm, Value self, Args& a) {
                     if (self.IsObject()) vm.Set(self.o, "bufferTime", Value(vm.ToNumber(Arg(a, 0))));
                     return Value();
                 }},
                // Nothing plays, so there is nothing to tell.
                {"getInfo", Quiet()}});
    for (const char* name : {"checkPolicyFile", "maxPauseBufferTime", "backBufferTime"})
        proto->SetOwn(name, Value(), kDontEnum | kReadOnly);
}

void InstallXmlSocket(Vm& vm) {
    Object* proto = vm.NewObject();
    AddPlainClass(vm, vm.global, "XMLSocket", proto);
    AddMethods(vm, proto,
               {{"connect", Refused("XMLSocket.connect")},
                {"send", Quiet()},
                {"close", Quiet()},
                // What arrives is parsed and handed on (nothing does arrive).
                {"onData",
                 [](Vm& vm, Value self, Args& a) {
                     if (!self.IsObject()) return Value();
                     Args args{Arg(a, 0)};
                     Value doc = vm.Construct(vm.Get(vm.global, "XML"), args);
                     vm.CallMethodIfAny(self.o, "onXML", Args{doc});
                     return Value();
                 }},
                {"getTimeout", Quiet()},
                {"setTimeout", Quiet()}});
}

} // namespace

void InstallConnectionClasses(Vm& vm) {
    InstallLocalConnection(vm);
    InstallNetConnection(vm);
    InstallNetStream(vm);
    InstallXmlSocket(vm);
}

} // namespace movie::script
