#pragma once
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Where captured frames go: the frame hash, the Y4M stream's pixel format,
// files that appear only when complete, the ffmpeg encoder and the PNG
// sequence. A frame is the picture on screen: width x height 32-bit pixels
// 0x00RRGGBB, row after row.

// FNV-1a over 64-bit little-endian words (any tail byte by byte): fast
// enough to hash every frame. The hash of nothing is the offset basis.
constexpr std::uint64_t HASH_BASIS = 0xcbf29ce484222325ull;
constexpr std::uint64_t HASH_PRIME = 0x100000001b3ull;
std::uint64_t hashFrameBytes(const void* bytes, std::size_t size);
// The run's hash: the frame hashes in order, folded in as words.
std::uint64_t foldFrameHash(std::uint64_t runHash, std::uint64_t frameHash);
// 16 lower-case hexadecimal digits.
std::string hexHash(std::uint64_t hash);

// YUV 4:2:0 of BT.601 in studio range (Y 16..235, U and V 16..240): the Y
// plane, then U, then V. Each chroma sample is the rounded mean of the four
// pixels' own chroma. Width and height must be even.
void toYuv420(const std::uint32_t* pixels, int width, int height, std::vector<unsigned char>& out);
// The stream header of a YUV4MPEG2 stream of such frames.
std::string y4mHeader(int width, int height, int fps);

// The first directory of pathList (':'-separated, an empty entry meaning the
// working directory) that holds an executable file called name; empty when
// there is none.
std::string findProgram(const std::string& name, const std::string& pathList);

// An output file that appears only when complete. Its content is written to
// a temporary file first, then put in place by commit:
// - a new path or a regular file: the temporary file sits beside it (name +
//   ".part") and is renamed over it;
// - a character device or a FIFO (also behind a link, such as /dev/stdout
//   to a pipe): the temporary file sits in the temporary directory and its
//   bytes are written to the device or FIFO at commit, which waits for a
//   FIFO's reader; the device or FIFO itself stays what it is;
// - a symbolic link: followed to its end, where the same rules apply, so the
//   link stays and what it points to is written;
// - a directory, a block device or a socket is refused.
// Messages name the path as given. An object destroyed or abandoned before
// commit removes what it wrote.
class PendingFile {
public:
    explicit PendingFile(std::string path) : path_(std::move(path)) {}
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile() { abandon(); }

    const std::string& path() const { return path_; }
    // Valid after a successful probe.
    const std::string& temporaryPath() const { return temporary_; }
    // Finds where the output goes and creates the temporary file empty, to
    // find out early that it can be written. False with a message naming
    // the file in error.
    bool probe(std::string& error);
    bool commit(std::string& error);
    void abandon();
    // A message about the temporary file reworded to name the output as
    // given: every mention of the temporary path becomes the path.
    std::string ownMessage(std::string message) const;

private:
    std::string path_;
    std::string target_;      // path_ with symbolic links followed
    std::string temporary_;
    bool direct_ = false;
    bool active_ = false;
};

// Writes bytes to path in one go. False with a message naming the file.
bool writeWholeFile(const std::string& path, const std::string& bytes, std::string& error);

// The video containers --video makes, chosen by the file name's extension
// (letter case ignored): .mp4, .mov and .mkv with H.264 and AAC, .webm with
// VP9 and Opus.
struct VideoFormat {
    const char* extension;   // with the dot, lower case
    const char* muxer;       // ffmpeg's name of the container
    std::vector<std::string> videoCodec;
    std::vector<std::string> audioCodec;
    bool fastStart;          // index at the front, for playback while loading
};
// The format for path's extension; nullptr when there is none.
const VideoFormat* videoFormatOf(const std::string& path);
// ".mp4, .mov, .mkv or .webm", for messages.
std::string videoExtensions();

// The video through the ffmpeg program, in the container of the file's
// extension. Two encoders run beside the show, one for the pictures and one
// for the sound, each fed down its own pipe as frames are made, so that
// rendering and encoding overlap and neither stream waits for the other; at
// finish the two are put together into one file without encoding again. The
// file appears only then. An encoder that ends without error but writes
// nothing is a failure.
class VideoEncoder {
public:
    explicit VideoEncoder(std::string path) : file_(std::move(path)) {}
    ~VideoEncoder() { abandon(); }

    // Finds ffmpeg on PATH, checks the extension and that the file can be
    // written, and starts the encoders. False with a clear message in error.
    bool start(int width, int height, int fps, std::string& error);
    bool writeFrame(const std::uint32_t* pixels, std::string& error);
    // 16-bit stereo samples at 44100 Hz: the sound of the next frames.
    bool writeSound(const std::vector<std::int16_t>& samples, std::string& error);
    // Ends both streams, waits for the encoders and joins their output.
    bool finish(std::string& error);
    // Stops the encoders and removes everything written.
    void abandon();

    const std::string& path() const { return file_.path(); }

private:
    struct Encoder {
        int pipe = -1;
        pid_t child = -1;
        std::string output;
    };
    bool startEncoder(Encoder& encoder, const std::vector<std::string>& input,
                      const std::vector<std::string>& output, std::string& error);
    bool endEncoder(Encoder& encoder);
    void stopEncoder(Encoder& encoder);

    PendingFile file_;
    const VideoFormat* format_ = nullptr;
    std::string ffmpeg_;
    Encoder pictures_, sound_;
    std::size_t frameBytes_ = 0;
};

// Numbered PNG frames (frame_000000.png, ...) and sound.wav in a directory,
// made if missing. Each file is a PendingFile.
class FrameSequence {
public:
    explicit FrameSequence(std::string directory) : directory_(std::move(directory)) {}

    bool start(std::string& error);
    bool writeFrame(const std::uint32_t* pixels, int width, int height, std::string& error);
    bool writeSound(const std::vector<std::int16_t>& samples, std::string& error);

    std::string framePath(long index) const;
    std::string soundPath() const { return directory_ + "/sound.wav"; }
    long frames() const { return next_; }

private:
    std::string directory_;
    long next_ = 0;
};
