#include "app/ShockwaveFlash.h"

#include "app/MovieFrameRenderer.h"
#include "app/SoundOutput.h"

#include "gui/Exception.h"
#include "gui/GdiObject.h"
#include "gui/Handle.h"
#include "gui/Text.h"

#include "movie/MovieReader.h"
#include "movie/Player.h"
#include "movie/audio/MovieSound.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

namespace {
constexpr UINT_PTR FrameClockId = 1;

bool sameText(const std::string& a, const char* b) {
    return gui::UpperCase(a) == gui::UpperCase(b);
}

std::string systemReason(DWORD code) {
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason = length ? std::wstring(text, length) : L"system error " + std::to_wstring(code);
    if (text) LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n' || reason.back() == L' ' ||
                               reason.back() == L'.'))
        reason.pop_back();
    return gui::WideToUtf8(reason);
}

[[noreturn]] void cannotRead(const std::string& path, DWORD code) {
    throw gui::Exception("Cannot read the movie file \"" + path + "\": " + systemReason(code));
}

// The whole file, read through the wide file functions so that any path works.
std::vector<std::uint8_t> readWholeFile(const std::string& path) {
    gui::FileHandle file(CreateFileW(gui::Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) cannotRead(path, GetLastError());
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) cannotRead(path, GetLastError());
    // What the engine would refuse is not read at all.
    movie::MovieReader::CheckFileSize(path, static_cast<std::uint64_t>(size.QuadPart));
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < data.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 24));
        DWORD got = 0;
        if (!ReadFile(file.Get(), data.data() + done, chunk, &got, nullptr)) cannotRead(path, GetLastError());
        if (got == 0) break;
        done += got;
    }
    data.resize(done);
    return data;
}

std::int64_t nowTicks() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double ticksToSeconds(std::int64_t ticks) {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return static_cast<double>(ticks) / frequency;
}
} // namespace

// --- construction -------------------------------------------------------------

TShockwaveFlash::TShockwaveFlash(gui::Component* owner) : TShockwaveFlash(owner, DesignState{}) {}

TShockwaveFlash::TShockwaveFlash(gui::Component* owner, const DesignState& state)
    : gui::WinControl(owner), renderer_(std::make_unique<MovieFrameRenderer>()) {
    SetColor(gui::clBlack);
    SetTabStop(true);
    SetBounds(0, 0, 192, 192);
    applyDesignState(state);
}

TShockwaveFlash::~TShockwaveFlash() {
    stopClock();
}

void TShockwaveFlash::applyDesignState(const DesignState& state) {
    SetWMode(state.WMode);
    SetQuality2(state.Quality2);
    SetScale(state.Scale);
    if (!state.BGColor.empty()) SetBGColor(state.BGColor);
    if (!state.Movie.empty()) SetMovie(state.Movie);
}

// --- design state -------------------------------------------------------------

void TShockwaveFlash::SetWMode(const std::string& mode) {
    if (!sameText(mode, "Window")) throw gui::Exception("Window mode '" + mode + "' is not supported");
    wmode_ = "Window";
}

void TShockwaveFlash::SetQuality2(const std::string& quality) {
    if (!sameText(quality, "High")) throw gui::Exception("Quality '" + quality + "' is not supported");
    quality_ = "High";
}

void TShockwaveFlash::SetScale(const std::string& scale) {
    if (!sameText(scale, "ShowAll")) throw gui::Exception("Scale mode '" + scale + "' is not supported");
    scale_ = "ShowAll";
}

// --- background ---------------------------------------------------------------

std::int32_t TShockwaveFlash::BackgroundColor() const {
    return background_ ? static_cast<std::int32_t>(*background_) : -1;
}

void TShockwaveFlash::SetBackgroundColor(std::int32_t rgb) {
    if (rgb < 0)
        background_.reset();
    else
        background_ = static_cast<std::uint32_t>(rgb) & 0xFFFFFFu;
    present(true);
}

std::string TShockwaveFlash::BGColor() const {
    if (!background_) return "-1";
    char text[8];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(*background_));
    return text;
}

void TShockwaveFlash::SetBGColor(const std::string& text) {
    if (text.empty() || text == "-1") {
        SetBackgroundColor(-1);
        return;
    }
    std::string digits = text[0] == '#' ? text.substr(1) : text;
    bool valid = digits.size() == 6 && std::all_of(digits.begin(), digits.end(), [](char c) {
                     return std::isxdigit(static_cast<unsigned char>(c)) != 0;
                 });
    if (!valid) throw gui::Exception("'" + text + "' is not a valid background colour");
    SetBackgroundColor(static_cast<std::int32_t>(std::stoul(digits, nullptr, 16)));
}

// --- the movie ----------------------------------------------------------------

void TShockwaveFlash::SetMovie(const std::string& path) {
    std::vector<std::uint8_t> data = readWholeFile(path);
    auto loaded = movie::MovieReader::Read(std::span<const std::uint8_t>(data), path);
    auto player = std::make_unique<movie::Player>(loaded);
    player->SetLoop(loop_);
    if (!fonts_) fonts_ = std::make_shared<GdiFonts>();
    player->SetDeviceFonts(fonts_);
    stopSound();
    sound_ = std::make_unique<movie::audio::MovieSound>(std::move(loaded));
    player_ = std::move(player);
    moviePath_ = path;
    updateSound();
    present(true);
    startClock();
    if (clockRunning_) startSound();
}

void TShockwaveFlash::SetLoop(bool loop) {
    loop_ = loop;
    if (player_) player_->SetLoop(loop);
}

bool TShockwaveFlash::Playing() const {
    return player_ && player_->IsPlaying();
}

void TShockwaveFlash::Play() {
    if (!player_) return;
    player_->Play();
    startClock();
    if (clockRunning_) startSound();
}

void TShockwaveFlash::Stop() {
    if (!player_) return;
    player_->Stop();
    stopSound();
}

std::int32_t TShockwaveFlash::CurrentFrame() {
    return player_ ? player_->CurrentFrame() : -1;
}

void TShockwaveFlash::GotoFrame(std::int32_t frame) {
    if (!player_) return;
    player_->GotoFrame(frame);
    updateSound();
    present(false);
}

std::int32_t TShockwaveFlash::TotalFrames() {
    return player_ ? player_->TotalFrames() : 0;
}

void TShockwaveFlash::Rewind() {
    if (!player_) return;
    bool playing = player_->IsPlaying();
    player_->Rewind();
    if (playing) player_->Play();
    updateSound();
    present(false);
}

// --- the frame clock ----------------------------------------------------------

void TShockwaveFlash::startClock() {
    if (clockRunning_ || !player_ || !HandleAllocated()) return;
    // Half a frame period, so that a step is never late by more than that.
    double period = 1000.0 / std::max(1.0, player_->FrameRate());
    UINT interval = static_cast<UINT>(std::clamp(period / 2, 10.0, 1000.0));
    if (SetTimer(Handle(), FrameClockId, interval, nullptr)) {
        clockRunning_ = true;
        lastTick_ = nowTicks();
        startSound();
    }
}

void TShockwaveFlash::stopClock() {
    if (clockRunning_ && HandleAllocated()) KillTimer(Handle(), FrameClockId);
    clockRunning_ = false;
    stopSound();
}

// --- sound --------------------------------------------------------------------

bool TShockwaveFlash::SoundPlaying() const {
    return output_ && output_->IsOpen();
}

void TShockwaveFlash::updateSound() {
    if (player_ && sound_) sound_->Update(*player_);
}

void TShockwaveFlash::startSound() {
    if (output_ || !sound_ || !sound_->HasSound()) return;
    movie::audio::MovieSound* sound = sound_.get();
    output_ = std::make_unique<SoundOutput>([sound](int16_t* out, size_t frames) { sound->Mix(out, frames); },
                                            soundVolume_);
}

void TShockwaveFlash::SetSoundVolume(std::uint32_t volume) {
    soundVolume_ = volume;
    if (output_) output_->SetVolume(volume);
}

void TShockwaveFlash::stopSound() {
    output_.reset(); // the thread has ended when this returns
    if (sound_) sound_->StopAll();
}

void TShockwaveFlash::onClockTick() {
    std::int64_t now = nowTicks();
    double elapsed = ticksToSeconds(now - lastTick_);
    lastTick_ = now;
    AdvanceClock(elapsed);
}

void TShockwaveFlash::AdvanceClock(double seconds) {
    if (!player_) return;
    player_->Advance(seconds);
    updateSound();
    // Frames the drawing fell behind the music on are skipped, not drawn.
    if (sound_ && SoundPlaying())
        sound_->KeepWithStream(*player_, SoundOutput::BufferFrames * SoundOutput::BufferCount);
    present(false);
}

// --- drawing ------------------------------------------------------------------

std::uint32_t TShockwaveFlash::backgroundPixel() const {
    if (background_) return 0xFF000000u | *background_;
    return 0xFF000000u | gui::ColorToPixel(gui::ColorToRGB(Color()));
}

bool TShockwaveFlash::renderFrame(bool force, RECT& changed) {
    return renderer_->Draw(player_.get(), background_, backgroundPixel(), surface_, ClientWidth(),
                           ClientHeight(), force, changed);
}

void TShockwaveFlash::present(bool force) {
    // With the display off nothing is drawn; the next frame after it comes
    // back is drawn whole.
    if (!displayOn_) {
        missedFrames_ = true;
        return;
    }
    force = force || missedFrames_;
    missedFrames_ = false;
    if (HandleAllocated()) {
        RECT changed;
        if (renderFrame(force, changed)) {
            gui::WindowDC dc(Handle());
            surface_.BlitRect(dc.Get(), changed);
            ++framesBlitted_;
        }
    }
    if (OnFrame) OnFrame(force);
}

void TShockwaveFlash::SetDisplayOn(bool on) {
    if (on == displayOn_) return;
    displayOn_ = on;
    if (on) present(true);
}

void TShockwaveFlash::PaintWindow(HDC dc) {
    if (!displayOn_) return;
    RECT changed;
    if (surface_.Width() != ClientWidth() || surface_.Height() != ClientHeight()) renderFrame(true, changed);
    surface_.BlitTo(dc);
}

void TShockwaveFlash::EraseBackground(HDC) {
    // The blit covers every pixel: no erase, no flicker.
}

void TShockwaveFlash::BoundsChanged(bool moved, bool resized) {
    gui::WinControl::BoundsChanged(moved, resized);
    if (resized) present(true);
}

// --- window -------------------------------------------------------------------

void TShockwaveFlash::CreateParamsFor(CreateParams& params) {
    gui::WinControl::CreateParamsFor(params);
    params.ClassName = L"NimbreMovieControl";
    params.Style |= WS_CLIPSIBLINGS;
}

void TShockwaveFlash::CreateHandle() {
    gui::WinControl::CreateHandle();
    startClock();
}

void TShockwaveFlash::DestroyWnd() {
    stopClock();
    gui::WinControl::DestroyWnd();
}

void TShockwaveFlash::WndProc(gui::Message& msg) {
    if (msg.Msg == WM_TIMER && msg.WParam == FrameClockId) {
        onClockTick();
        return;
    }
    gui::WinControl::WndProc(msg);
}
