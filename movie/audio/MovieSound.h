// The sound of a playing movie: takes what the player's frames ask for
// (event sounds, stream frames), decodes each sound once, and mixes all of
// it into 44.1 kHz 16-bit stereo. The player's thread calls Update(); Mix()
// may run on another thread.
#pragma once

#include "movie/Movie.h"
#include "movie/Player.h"
#include "movie/audio/Mixer.h"
#include "movie/audio/SoundDecoder.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace movie::audio {

class MovieSound {
  public:
    explicit MovieSound(std::shared_ptr<const Movie> movie);

    // Whether the movie has any sound or stream at all.
    bool HasSound() const { return movie_->HasSound(); }

    // Starts and stops sounds as the frames entered since the last call ask,
    // and stops the streams of timelines that no longer play.
    void Update(Player& player);
    // Keeps the picture with the music: while the main timeline's stream has
    // been heard past the next frame's block (the mix less the `queued`
    // sample frames handed to the device and not yet heard), steps the
    // player on, so that frames the drawing fell behind on are skipped
    // rather than the sound stretched. At most Limits::kMaxStepsPerAdvance
    // steps a call; returns how many it ran. Nothing happens after a jump
    // to a frame without a block, where the stream no longer matches the
    // frames, until a block starts it again.
    int KeepWithStream(Player& player, size_t queued);
    // Mixes the next `frames` sample frames (2 * frames samples) into `out`.
    void Mix(int16_t* out, size_t frames) { mixer_.Mix(out, frames); }
    void StopAll() { mixer_.StopAll(); }
    const Mixer& GetMixer() const { return mixer_; }

    // An event sound at the mix rate; null when the movie has no playable
    // sound of that id.
    MixSamples EventSound(uint16_t id);
    // A timeline's whole stream at the mix rate, and where each frame's
    // block starts in it (none for frames without a block).
    struct Stream {
        MixSamples samples;
        std::vector<std::optional<size_t>> framePositions;
    };
    const Stream& StreamOf(const Timeline& timeline);

    // What went wrong in decoding, one line per sound, each told once.
    std::vector<std::string> TakeWarnings() { return std::exchange(warnings_, {}); }

  private:
    void warn(const std::string& what, const std::string& problem);
    // At the mix rate, within what the limits leave.
    MixSamples toMix(const Pcm& pcm, const std::string& name);

    std::shared_ptr<const Movie> movie_;
    Mixer mixer_;
    std::map<uint16_t, MixSamples> sounds_;
    std::map<const Timeline*, Stream> streams_;
    std::vector<std::string> warnings_;
    uint64_t decodedTotal_ = 0;      // sample frames of all sounds decoded
    bool mainStreamMatches_ = false; // the main timeline's stream plays from its frames' blocks
};

// The sample frames at the mix rate before frame `frame` of a movie playing
// at `frameRate`: frame f covers [MixFramesBefore(f), MixFramesBefore(f + 1)).
size_t MixFramesBefore(uint64_t frame, double frameRate);

} // namespace movie::audio
