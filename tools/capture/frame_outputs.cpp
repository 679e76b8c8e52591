#include "tools/capture/frame_outputs.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>

#include "display/pixel.h"
#include "tools/assets/png_writer.h"
#include "tools/assets/wav.h"
#include "tools/capture/sound_track.h"

extern char** environ;

namespace {

std::string systemError()
{
    return std::strerror(errno);
}

// Runs a program to its end with standard output sent to standard error, so
// that a Y4M stream on standard output stays clean; without stdinFd its
// standard input is /dev/null. Returns its exit status, or -1 when it could
// not be started or was killed.
int runProgram(const std::vector<std::string>& args, int stdinFd, pid_t* started)
{
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdinFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, stdinFd, 0);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    }
    posix_spawn_file_actions_adddup2(&actions, 2, 1);
    pid_t pid = -1;
    const int status = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (status != 0) return -1;
    if (started) {
        *started = pid;
        return 0;
    }
    int result = 0;
    while (waitpid(pid, &result, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(result) ? WEXITSTATUS(result) : -1;
}

bool writeAll(int fd, const void* data, std::size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t done = write(fd, p, size);
        if (done < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

// True when path is a file holding at least one byte.
bool holdsBytes(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && info.st_size > 0;
}

// Both encoders write Matroska, which holds every codec of the formats below.
const char* const WORK_MUXER = "matroska";

const std::vector<std::string> H264 = {"-c:v", "libx264", "-preset", "medium", "-crf", "18",
                                       "-pix_fmt", "yuv420p"};
const std::vector<std::string> AAC = {"-c:a", "aac", "-b:a", "192k"};
// Constant quality, at speed 4 of libvpx's 0..5 for this deadline: VP9 is
// several times slower to encode than H.264 even so.
const std::vector<std::string> VP9 = {"-c:v", "libvpx-vp9", "-crf", "24", "-b:v", "0", "-deadline",
                                      "good", "-cpu-used", "4", "-row-mt", "1", "-pix_fmt", "yuv420p"};
const std::vector<std::string> OPUS = {"-c:a", "libopus", "-b:a", "160k"};

const VideoFormat VIDEO_FORMATS[] = {
    {".mp4", "mp4", H264, AAC, true},
    {".mov", "mov", H264, AAC, true},
    {".mkv", "matroska", H264, AAC, false},
    {".webm", "webm", VP9, OPUS, false},
};

// path with every symbolic link along its last component followed; a link
// whose end does not exist gives the path it names. Empty with a reason for
// a loop of links.
std::string followLinks(const std::string& path, std::string& reason)
{
    std::filesystem::path current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current.string();
        std::error_code ec;
        const std::filesystem::path link = std::filesystem::read_symlink(current, ec);
        if (ec) {
            reason = ec.message();
            return {};
        }
        current = link.is_absolute() ? link : current.parent_path() / link;
    }
    reason = "too many levels of symbolic links";
    return {};
}

}  // namespace

std::uint64_t hashFrameBytes(const void* bytes, std::size_t size)
{
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    std::uint64_t hash = HASH_BASIS;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word = 0;
        for (int b = 7; b >= 0; --b) word = (word << 8) | p[i + b];
        hash = (hash ^ word) * HASH_PRIME;
    }
    for (; i < size; ++i) hash = (hash ^ p[i]) * HASH_PRIME;
    return hash;
}

std::uint64_t foldFrameHash(std::uint64_t runHash, std::uint64_t frameHash)
{
    return (runHash ^ frameHash) * HASH_PRIME;
}

std::string hexHash(std::uint64_t hash)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

void toYuv420(const std::uint32_t* pixels, int width, int height, std::vector<unsigned char>& out)
{
    const std::size_t lumaSize = static_cast<std::size_t>(width) * height;
    const std::size_t chromaSize = lumaSize / 4;
    out.resize(lumaSize + 2 * chromaSize);
    unsigned char* yPlane = out.data();
    unsigned char* uPlane = yPlane + lumaSize;
    unsigned char* vPlane = uPlane + chromaSize;
    for (int y = 0; y < height; y += 2) {
        for (int x = 0; x < width; x += 2) {
            int uSum = 0, vSum = 0;
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    const std::size_t i = static_cast<std::size_t>(y + dy) * width + x + dx;
                    const int r = redOf(pixels[i]), g = greenOf(pixels[i]), b = blueOf(pixels[i]);
                    yPlane[i] = static_cast<unsigned char>(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
                    uSum += ((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128;
                    vSum += ((112 * r - 94 * g - 18 * b + 128) >> 8) + 128;
                }
            }
            const std::size_t c = static_cast<std::size_t>(y / 2) * (width / 2) + x / 2;
            uPlane[c] = static_cast<unsigned char>((uSum + 2) >> 2);
            vPlane[c] = static_cast<unsigned char>((vSum + 2) >> 2);
        }
    }
}

std::string y4mHeader(int width, int height, int fps)
{
    return "YUV4MPEG2 W" + std::to_string(width) + " H" + std::to_string(height) + " F" +
           std::to_string(fps) + ":1 Ip A1:1 C420jpeg\n";
}

std::string findProgram(const std::string& name, const std::string& pathList)
{
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = pathList.find(':', start);
        const std::size_t length = (end == std::string::npos ? pathList.size() : end) - start;
        std::string candidate;
        if (length == 0) candidate.push_back('.');
        candidate.append(pathList, start, length).append(1, '/').append(name);
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        if (end == std::string::npos) return {};
        start = end + 1;
    }
}

const VideoFormat* videoFormatOf(const std::string& path)
{
    const std::string name = std::filesystem::path(path).filename().string();
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return nullptr;
    std::string extension = name.substr(dot);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const VideoFormat& format : VIDEO_FORMATS) {
        if (extension == format.extension) return &format;
    }
    return nullptr;
}

std::string videoExtensions()
{
    std::string text;
    const std::size_t count = std::size(VIDEO_FORMATS);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) text += i + 1 == count ? " or " : ", ";
        text += VIDEO_FORMATS[i].extension;
    }
    return text;
}

bool PendingFile::probe(std::string& error)
{
    abandon();
    // What the path names, links followed by the system: this also sees
    // through links such as /dev/stdout to a pipe.
    struct stat info {};
    const bool exists = stat(path_.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) {
        error = "cannot write " + path_ + ": " + systemError();
        return false;
    }
    direct_ = exists && (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode));
    if (exists && !direct_ && !S_ISREG(info.st_mode)) {
        const char* kind = S_ISDIR(info.st_mode)   ? "a directory"
                           : S_ISBLK(info.st_mode) ? "a block device"
                           : S_ISSOCK(info.st_mode) ? "a socket"
                                                    : "not a regular file";
        error = "cannot write " + path_ + ": it is " + std::string(kind) +
                "; give a file name, a FIFO or a character device";
        return false;
    }
    // A file is renamed over where the links end, so that they stay.
    std::string reason;
    target_ = direct_ ? path_ : followLinks(path_, reason);
    if (target_.empty()) {
        error = "cannot write " + path_ + ": " + reason;
        return false;
    }
    int fd = -1;
    if (direct_) {
        if (access(target_.c_str(), W_OK) != 0) {
            error = "cannot write " + path_ + ": " + systemError();
            return false;
        }
        std::string name = (std::filesystem::temp_directory_path() / "quorvane-capture-XXXXXX").string();
        fd = mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) {
            error = "cannot write " + path_ + ": no temporary file in " + name + ": " + systemError();
            return false;
        }
        temporary_ = name;
    } else {
        temporary_ = target_ + ".part";
        // Something other than a file of ours under the temporary name is
        // left alone.
        struct stat old {};
        if (lstat(temporary_.c_str(), &old) == 0 && !S_ISREG(old.st_mode)) {
            error = "cannot write " + path_ + ": " + temporary_ +
                    ", where it is written until complete, is in the way";
            return false;
        }
        fd = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            error = "cannot write " + path_ + ": " + systemError();
            return false;
        }
    }
    close(fd);
    active_ = true;
    return true;
}

bool PendingFile::commit(std::string& error)
{
    if (!active_) {
        error = "cannot write " + path_ + ": nothing was written";
        return false;
    }
    if (!direct_) {
        if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
            error = "cannot write " + path_ + ": " + systemError();
            abandon();
            return false;
        }
        active_ = false;
        return true;
    }
    // A FIFO blocks here until something reads it.
    const int out = open(target_.c_str(), O_WRONLY | O_CLOEXEC);
    const int in = out < 0 ? -1 : open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
    bool ok = out >= 0 && in >= 0;
    std::vector<char> buffer(1 << 16);
    while (ok) {
        const ssize_t got = read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        ok = writeAll(out, buffer.data(), static_cast<std::size_t>(got));
    }
    if (!ok) error = "cannot write " + path_ + ": " + systemError();
    if (in >= 0) close(in);
    if (out >= 0 && close(out) != 0 && ok) {
        error = "cannot write " + path_ + ": " + systemError();
        ok = false;
    }
    abandon();
    return ok;
}

void PendingFile::abandon()
{
    if (active_) std::remove(temporary_.c_str());
    active_ = false;
}

std::string PendingFile::ownMessage(std::string message) const
{
    if (temporary_.empty()) return message;
    for (std::size_t at = message.find(temporary_); at != std::string::npos;
         at = message.find(temporary_, at + path_.size())) {
        message.replace(at, temporary_.size(), path_);
    }
    return message;
}

bool writeWholeFile(const std::string& path, const std::string& bytes, std::string& error)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = "cannot write " + path + ": " + systemError();
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) {
        error = "cannot write " + path + ": " + systemError();
        std::remove(path.c_str());
        return false;
    }
    return true;
}

bool VideoEncoder::startEncoder(Encoder& encoder, const std::vector<std::string>& input,
                                const std::vector<std::string>& output, std::string& error)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = "cannot start ffmpeg: " + systemError();
        return false;
    }
    std::vector<std::string> args = {ffmpeg_, "-hide_banner", "-loglevel", "error", "-nostdin", "-y"};
    args.insert(args.end(), input.begin(), input.end());
    args.insert(args.end(), {"-i", "pipe:0"});
    args.insert(args.end(), output.begin(), output.end());
    args.push_back(encoder.output);
    pid_t pid = -1;
    const int started = runProgram(args, fds[0], &pid);
    close(fds[0]);
    if (started != 0) {
        close(fds[1]);
        error = "cannot start " + ffmpeg_;
        return false;
    }
    encoder.child = pid;
    encoder.pipe = fds[1];
    return true;
}

bool VideoEncoder::endEncoder(Encoder& encoder)
{
    if (encoder.pipe >= 0) close(encoder.pipe);
    encoder.pipe = -1;
    if (encoder.child <= 0) return false;
    int status = 0;
    pid_t done = -1;
    while ((done = waitpid(encoder.child, &status, 0)) < 0 && errno == EINTR) {
    }
    encoder.child = -1;
    return done > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void VideoEncoder::stopEncoder(Encoder& encoder)
{
    if (encoder.pipe >= 0) close(encoder.pipe);
    encoder.pipe = -1;
    if (encoder.child > 0) {
        kill(encoder.child, SIGTERM);
        int status = 0;
        while (waitpid(encoder.child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    encoder.child = -1;
    if (!encoder.output.empty()) std::remove(encoder.output.c_str());
}

bool VideoEncoder::start(int width, int height, int fps, std::string& error)
{
    format_ = videoFormatOf(file_.path());
    if (!format_) {
        error = "cannot make " + file_.path() + ": the video's name must end in " +
                videoExtensions() + ", which chooses its container";
        return false;
    }
    const char* pathList = std::getenv("PATH");
    ffmpeg_ = findProgram("ffmpeg", pathList ? pathList : "");
    if (ffmpeg_.empty()) {
        error = "cannot make " + file_.path() +
                ": the ffmpeg program was not found on PATH (install ffmpeg, or leave out --video)";
        return false;
    }
    if (!file_.probe(error)) return false;
    pictures_.output = file_.temporaryPath() + ".video";
    sound_.output = file_.temporaryPath() + ".sound";
    std::vector<std::string> pictureOutput = format_->videoCodec;
    pictureOutput.insert(pictureOutput.end(), {"-f", WORK_MUXER});
    std::vector<std::string> soundOutput = format_->audioCodec;
    soundOutput.insert(soundOutput.end(), {"-f", WORK_MUXER});
    const bool ok =
        startEncoder(pictures_,
                     {"-f", "rawvideo", "-pix_fmt", "bgr0", "-s",
                      std::to_string(width) + "x" + std::to_string(height), "-framerate",
                      std::to_string(fps)},
                     pictureOutput, error) &&
        startEncoder(sound_,
                     {"-f", "s16le", "-ar", std::to_string(TRACK_RATE), "-ac",
                      std::to_string(TRACK_CHANNELS)},
                     soundOutput, error);
    if (!ok) {
        abandon();
        return false;
    }
    // A larger pipe lets the encoder take a whole frame while the next is drawn.
    fcntl(pictures_.pipe, F_SETPIPE_SZ, 1 << 20);
    frameBytes_ = static_cast<std::size_t>(width) * height * 4;
    return true;
}

bool VideoEncoder::writeFrame(const std::uint32_t* pixels, std::string& error)
{
    // Pixels are 0x00RRGGBB words; in memory that is B, G, R, 0: ffmpeg's bgr0.
    if (pictures_.pipe >= 0 && writeAll(pictures_.pipe, pixels, frameBytes_)) return true;
    error = "ffmpeg stopped taking frames for " + file_.path();
    return false;
}

bool VideoEncoder::writeSound(const std::vector<std::int16_t>& samples, std::string& error)
{
    if (sound_.pipe >= 0 &&
        writeAll(sound_.pipe, samples.data(), samples.size() * sizeof(std::int16_t))) {
        return true;
    }
    error = "ffmpeg stopped taking the sound for " + file_.path();
    return false;
}

bool VideoEncoder::finish(std::string& error)
{
    const bool pictures = endEncoder(pictures_);
    const bool sound = endEncoder(sound_);
    if (!pictures || !sound) {
        error = "ffmpeg failed to encode " + file_.path();
        abandon();
        return false;
    }
    if (!holdsBytes(pictures_.output) || !holdsBytes(sound_.output)) {
        error = "ffmpeg ended without an error but encoded nothing for " + file_.path();
        abandon();
        return false;
    }
    std::vector<std::string> args = {
        ffmpeg_, "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
        "-i", pictures_.output, "-i", sound_.output, "-map", "0:v", "-map", "1:a", "-c", "copy"};
    if (format_->fastStart) args.insert(args.end(), {"-movflags", "+faststart"});
    args.insert(args.end(), {"-f", format_->muxer, file_.temporaryPath()});
    if (runProgram(args, -1, nullptr) != 0) {
        error = "ffmpeg failed to put the pictures and the sound of " + file_.path() + " together";
        abandon();
        return false;
    }
    if (!holdsBytes(file_.temporaryPath())) {
        error = "ffmpeg ended without an error but wrote nothing for " + file_.path();
        abandon();
        return false;
    }
    std::remove(pictures_.output.c_str());
    std::remove(sound_.output.c_str());
    return file_.commit(error);
}

void VideoEncoder::abandon()
{
    stopEncoder(pictures_);
    stopEncoder(sound_);
    file_.abandon();
}

bool FrameSequence::start(std::string& error)
{
    std::error_code ec;
    std::filesystem::create_directories(directory_, ec);
    if (ec || !std::filesystem::is_directory(directory_)) {
        error = "cannot make the directory " + directory_ + ": " +
                (ec ? ec.message() : std::string("a file of that name is in the way"));
        return false;
    }
    PendingFile probe(directory_ + "/.quorvane-capture");
    if (probe.probe(error)) return true;
    const std::size_t at = error.find(probe.path());
    if (at != std::string::npos) error.replace(at, probe.path().size(), directory_);
    return false;
}

std::string FrameSequence::framePath(long index) const
{
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%06ld.png", index);
    return directory_ + name;
}

bool FrameSequence::writeFrame(const std::uint32_t* pixels, int width, int height,
                               std::string& error)
{
    PendingFile file(framePath(next_));
    if (!file.probe(error)) return false;
    if (!writePng(file.temporaryPath(), pixels, width, height, error)) {
        error = file.ownMessage(error);
        return false;
    }
    if (!file.commit(error)) return false;
    ++next_;
    return true;
}

bool FrameSequence::writeSound(const std::vector<std::int16_t>& samples, std::string& error)
{
    PendingFile file(soundPath());
    if (!file.probe(error)) return false;
    if (!writeWav(file.temporaryPath(), samples, TRACK_CHANNELS, TRACK_RATE)) {
        error = "cannot write " + soundPath();
        return false;
    }
    return file.commit(error);
}
