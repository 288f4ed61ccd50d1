#include "app/SoundOutput.h"

SoundOutput::SoundOutput(Source source, std::uint32_t volume) : source_(std::move(source)), volume_(volume) {
    done_.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!done_) return;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = Rate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = Rate * 4;
    if (waveOutOpen(&wave_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(done_.Get()), 0,
                    CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        wave_ = nullptr;
        return;
    }
    for (size_t i = 0; i < BufferCount; ++i) {
        buffers_[i].assign(BufferFrames * 2, 0);
        WAVEHDR& h = headers_[i];
        h.lpData = reinterpret_cast<LPSTR>(buffers_[i].data());
        h.dwBufferLength = static_cast<DWORD>(BufferFrames * 4);
        if (waveOutPrepareHeader(wave_, &h, sizeof h) != MMSYSERR_NOERROR) h.dwFlags = 0;
    }
    thread_.Reset(CreateThread(nullptr, 0, threadMain, this, 0, nullptr));
    if (!thread_) {
        for (WAVEHDR& h : headers_)
            if (h.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(wave_, &h, sizeof h);
        waveOutClose(wave_);
        wave_ = nullptr;
    }
}

SoundOutput::~SoundOutput() {
    if (thread_) {
        stopping_ = true;
        SetEvent(done_.Get());
        WaitForSingleObject(thread_.Get(), INFINITE);
    }
    if (wave_) {
        waveOutReset(wave_);
        for (WAVEHDR& h : headers_)
            if (h.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(wave_, &h, sizeof h);
        waveOutClose(wave_);
    }
}

DWORD WINAPI SoundOutput::threadMain(void* self) {
    static_cast<SoundOutput*>(self)->run();
    return 0;
}

void SoundOutput::applyVolume() {
    std::uint32_t wanted = volume_;
    if (wanted != applied_ && waveOutSetVolume(wave_, wanted) == MMSYSERR_NOERROR) applied_ = wanted;
}

void SoundOutput::fill(size_t index) {
    WAVEHDR& h = headers_[index];
    if (!(h.dwFlags & WHDR_PREPARED)) return;
    applyVolume();
    source_(buffers_[index].data(), BufferFrames);
    h.dwFlags &= ~WHDR_DONE;
    waveOutWrite(wave_, &h, sizeof h);
}

void SoundOutput::run() {
    for (size_t i = 0; i < BufferCount && !stopping_; ++i)
        fill(i);
    while (!stopping_) {
        WaitForSingleObject(done_.Get(), 100);
        for (size_t i = 0; i < BufferCount && !stopping_; ++i)
            if (headers_[i].dwFlags & WHDR_DONE) fill(i);
    }
}
