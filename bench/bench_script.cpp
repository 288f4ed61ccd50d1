// Script speed: movies written here run arithmetic loops, property reads
// and writes, function calls, and 500 clips moved by onEnterFrame; each
// reports operations per second natively (wall clock around the frames
// that run the work).
//
//   bench_script              prints the table
//   bench_script --write DIR  writes the movies (DIR/NAME.swf) for a peer
//
// Each movie also traces "bench NAME OPERATIONS MILLISECONDS" with its own
// getTimer(), which a player that keeps getTimer() on the wall clock (the
// peer in bench/script_vs_peer.sh) reports as it runs.
#include "SwfBuilder.h"

#include "movie/MovieReader.h"
#include "movie/Player.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using swftest::Bytes;

// Action bytecode with labels for jumps.
class Code {
  public:
    Code& Op(uint8_t op) {
        b_.push_back(op);
        return *this;
    }
    Code& Str(const std::string& s) {
        Bytes item{0};
        item.insert(item.end(), s.begin(), s.end());
        item.push_back(0);
        return Push(item);
    }
    Code& Int(int32_t v) {
        auto u = static_cast<uint32_t>(v);
        return Push({7, uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)});
    }
    Code& Undefined() { return Push({3}); }
    Code& Reg(uint8_t r) { return Push({4, r}); }
    // StoreRegister r; Pop
    Code& Store(uint8_t r) {
        Long(0x87, {r});
        return Op(0x17);
    }
    int Label() {
        labels_.push_back(SIZE_MAX);
        return static_cast<int>(labels_.size() - 1);
    }
    Code& Mark(int label) {
        labels_[label] = b_.size();
        return *this;
    }
    Code& Jump(int label) { return Branch(0x99, label); }
    Code& If(int label) { return Branch(0x9d, label); }
    // f(args...) with the arguments already pushed last to first.
    Code& Call(const std::string& f, int args) { return Int(args).Str(f).Op(0x3d); }
    Code& Trace() { return Op(0x26); }
    // DefineFunction2 name(params in registers 1..) with `regs` registers;
    // `preloadThis` puts this in the register after the parameters.
    Code& Function(const std::string& name, const std::vector<std::string>& params, uint8_t regs, Code body,
                   bool preloadThis = false) {
        Bytes d(name.begin(), name.end());
        d.push_back(0);
        d.push_back(uint8_t(params.size()));
        d.push_back(0);
        d.push_back(regs);
        d.push_back(preloadThis ? 0x29 : 0x2a); // suppress super and arguments; this preloaded or suppressed
        d.push_back(0);
        uint8_t r = 1;
        for (const std::string& p : params) {
            d.push_back(r++);
            d.insert(d.end(), p.begin(), p.end());
            d.push_back(0);
        }
        Bytes code = body.Bytes_();
        d.push_back(uint8_t(code.size()));
        d.push_back(uint8_t(code.size() >> 8));
        Long(0x8e, d);
        b_.insert(b_.end(), code.begin(), code.end());
        return *this;
    }
    Bytes Bytes_() {
        for (auto [at, label] : fixups_) {
            auto offset =
                static_cast<int16_t>(static_cast<int64_t>(labels_[label]) - static_cast<int64_t>(at + 2));
            b_[at] = uint8_t(offset);
            b_[at + 1] = uint8_t(uint16_t(offset) >> 8);
        }
        fixups_.clear();
        return b_;
    }

  private:
    Code& Push(const Bytes& item) { return Long(0x96, item); }
    Code& Long(uint8_t op, const Bytes& data) {
        b_.push_back(op);
        b_.push_back(uint8_t(data.size()));
        b_.push_back(uint8_t(data.size() >> 8));
        b_.insert(b_.end(), data.begin(), data.end());
        return *this;
    }
    Code& Branch(uint8_t op, int label) {
        Long(op, {0, 0});
        fixups_.push_back({b_.size() - 2, label});
        return *this;
    }
    Bytes b_;
    std::vector<size_t> labels_;
    std::vector<std::pair<size_t, int>> fixups_;
};

// for (r1 = 0; r1 < n; ++r1) { body }, inside a function whose result is r2.
Code Loop(int n, Code body) {
    Code c;
    int top = c.Label(), end = c.Label();
    c.Int(0).Store(1).Int(0).Store(2);
    c.Mark(top).Reg(1).Int(n).Op(0x48).Op(0x12).If(end); // if (!(r1 < n)) break
    Bytes inner = body.Bytes_();
    for (uint8_t op : inner)
        c.Op(op);
    c.Reg(1).Op(0x50).Store(1).Jump(top); // ++r1
    c.Mark(end).Reg(2).Op(0x3e);          // return r2
    return c;
}

// t0 = getTimer(); work(); trace("bench NAME ops " + (getTimer() - t0)), getTimer() as the action
Code Timed(const std::string& name, int ops) {
    Code c;
    c.Str("t0").Op(0x34).Op(0x1d);
    c.Call("work", 0).Op(0x17);
    c.Str("bench " + name + " " + std::to_string(ops) + " ").Op(0x34).Str("t0").Op(0x1c).Op(0x0b);
    c.Op(0x47).Trace();
    return c;
}

struct Bench {
    std::string name;
    std::string what;
    int ops;
    int frames; // frames stepped after the first (the clips)
    Bytes movie;
};

Bytes OneFrame(Code script) {
    swftest::SwfBuilder b(8, 30);
    b.Actions({script.Bytes_()}).ShowFrame();
    return b.Build();
}

Bench Arithmetic() {
    const int n = 2000000;
    Code body; // r2 = (r2 + r1 * 3) % 1000003
    body.Reg(2).Reg(1).Int(3).Op(0x0c).Op(0x47).Int(1000003).Op(0x3f).Store(2);
    Code frame;
    frame.Function("work", {}, 3, Loop(n, body));
    Code timed = Timed("arithmetic", n);
    Bytes t = timed.Bytes_();
    for (uint8_t op : t)
        frame.Op(op);
    return {"arithmetic", "(r + i * 3) % 1000003 in registers", n, 0, OneFrame(frame)};
}

Bench Properties() {
    const int n = 1000000;
    Code body; // o.x = o.x + 1; o.y = o.x * 2  (o in r3)
    body.Reg(3).Str("x").Reg(3).Str("x").Op(0x4e).Int(1).Op(0x47).Op(0x4f);
    body.Reg(3).Str("y").Reg(3).Str("x").Op(0x4e).Int(2).Op(0x0c).Op(0x4f);
    Code work;
    work.Int(0).Op(0x43).Store(3); // r3 = {}
    work.Reg(3).Str("x").Int(0).Op(0x4f);
    Bytes loop = Loop(n, body).Bytes_();
    for (uint8_t op : loop)
        work.Op(op);
    Code frame;
    frame.Function("work", {}, 4, work);
    Bytes t = Timed("properties", n).Bytes_();
    for (uint8_t op : t)
        frame.Op(op);
    return {"properties", "o.x = o.x + 1; o.y = o.x * 2", n, 0, OneFrame(frame)};
}

Bench Calls() {
    const int n = 1000000;
    Code add; // function add(a, b) { return a + b; }
    add.Reg(1).Reg(2).Op(0x47).Op(0x3e);
    Code body; // r2 = add(r2, r1) % 1000003
    body.Reg(1).Reg(2).Call("add", 2).Int(1000003).Op(0x3f).Store(2);
    Code frame;
    frame.Function("add", {"a", "b"}, 3, add);
    frame.Function("work", {}, 3, Loop(n, body));
    Bytes t = Timed("calls", n).Bytes_();
    for (uint8_t op : t)
        frame.Op(op);
    return {"calls", "r = add(r, i) % 1000003", n, 0, OneFrame(frame)};
}

Bench Clips() {
    const int clips = 500, frames = 200;
    // function move() { if (start === undefined) start = getTimer();
    //   this._x = (this._x + this.vx) % 550; this._y = (this._y + this.vy) % 400;
    //   this._rotation = this._rotation + 3; }   (this in r1)
    Code move;
    int started = move.Label();
    move.Str("start").Op(0x1c).Undefined().Op(0x66).Op(0x12).If(started);
    move.Str("start").Op(0x34).Op(0x1d);
    move.Mark(started);
    for (auto [prop, speed, size] : {std::tuple{"_x", "vx", 550}, {"_y", "vy", 400}}) {
        move.Reg(1).Str(prop).Reg(1).Str(prop).Op(0x4e).Reg(1).Str(speed).Op(0x4e).Op(0x47).Int(size).Op(
            0x3f);
        move.Op(0x4f);
    }
    move.Reg(1).Str("_rotation").Reg(1).Str("_rotation").Op(0x4e).Int(3).Op(0x47).Op(0x4f);
    // for (r1 = 0; r1 < 500; ++r1) { r3 = createEmptyMovieClip("c" + r1, r1);
    //   r3.vx = r1 % 7 + 1; r3.vy = r1 % 5 + 1; r3.onEnterFrame = move; }
    Code body;
    body.Reg(1).Str("c").Reg(1).Op(0x47).Int(2).Str("_root").Op(0x1c).Str("createEmptyMovieClip").Op(0x52);
    body.Store(3);
    body.Reg(3).Str("vx").Reg(1).Int(7).Op(0x3f).Int(1).Op(0x47).Op(0x4f);
    body.Reg(3).Str("vy").Reg(1).Int(5).Op(0x3f).Int(1).Op(0x47).Op(0x4f);
    body.Reg(3).Str("onEnterFrame").Str("move").Op(0x1c).Op(0x4f);
    // function measure() { if (start !== undefined) { spent += getTimer() - start; ++frames; }
    //   start = undefined; if (frames == N) trace("bench clips " + frames * 500 + " " + spent); }
    Code measure;
    int skip = measure.Label(), notYet = measure.Label();
    measure.Str("start").Op(0x1c).Undefined().Op(0x66).If(skip);
    measure.Str("spent").Str("spent").Op(0x1c).Op(0x34).Str("start").Op(0x1c).Op(0x0b).Op(0x47).Op(0x1d);
    measure.Str("frames").Str("frames").Op(0x1c).Op(0x50).Op(0x1d);
    measure.Mark(skip).Str("start").Undefined().Op(0x1d);
    measure.Str("frames").Op(0x1c).Int(frames).Op(0x66).Op(0x12).If(notYet);
    measure.Str("bench clips ").Str("frames").Op(0x1c).Int(clips).Op(0x0c).Op(0x47).Str(" ").Op(0x47);
    measure.Str("spent").Op(0x1c).Op(0x47).Trace();
    measure.Mark(notYet);
    Code first;
    first.Function("move", {}, 2, move, true);
    first.Function("measure", {}, 1, measure);
    first.Str("spent").Int(0).Op(0x1d).Str("frames").Int(0).Op(0x1d);
    first.Function("setup", {}, 4, Loop(clips, body)).Call("setup", 0).Op(0x17);
    Code second, third;
    second.Call("measure", 0).Op(0x17);
    third.Call("measure", 0).Op(0x17);
    third.Op(0x81).Op(0x02).Op(0x00).Op(0x01).Op(0x00).Op(0x06); // GotoFrame 1 (the second), Play
    swftest::SwfBuilder b(8, 120);
    b.Actions({first.Bytes_()}).ShowFrame();
    b.Actions({second.Bytes_()}).ShowFrame();
    b.Actions({third.Bytes_()}).ShowFrame();
    return {"clips", "500 clips moved by onEnterFrame, per handler call", clips * frames, frames, b.Build()};
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

} // namespace

int main(int argc, char** argv) {
    std::vector<Bench> benches = {Arithmetic(), Properties(), Calls(), Clips()};
    if (argc == 3 && std::string(argv[1]) == "--write") {
        for (const Bench& b : benches) {
            std::ofstream out(std::string(argv[2]) + "/" + b.name + ".swf", std::ios::binary);
            out.write(reinterpret_cast<const char*>(b.movie.data()),
                      static_cast<std::streamsize>(b.movie.size()));
            if (!out) {
                std::fprintf(stderr, "bench_script: cannot write %s/%s.swf\n", argv[2], b.name.c_str());
                return 1;
            }
        }
        return 0;
    }
    std::printf("%-12s %12s %14s  %s\n", "movie", "operations", "ops/second", "what");
    for (const Bench& b : benches) {
        auto movie = movie::MovieReader::Read(b.movie, b.name + ".swf");
        std::string traced;
        auto sink = [&](const std::string& line) { traced = line; };
        // The scripts may run as long as they need; the best of three runs counts.
        double best = 1e30;
        for (int run = 0; run < 3; ++run) {
            auto start = std::chrono::steady_clock::now();
            movie::Player player(movie, sink, std::chrono::seconds(60));
            for (int f = 0; f < b.frames; ++f)
                player.Step();
            best = std::min(best, Seconds(std::chrono::steady_clock::now() - start));
        }
        if (traced.rfind("bench " + b.name, 0) != 0) {
            std::fprintf(stderr, "bench_script: %s did not finish (last line traced: '%s')\n", b.name.c_str(),
                         traced.c_str());
            return 1;
        }
        std::printf("%-12s %12d %14.0f  %s\n", b.name.c_str(), b.ops, b.ops / best, b.what.c_str());
    }
    return 0;
}
