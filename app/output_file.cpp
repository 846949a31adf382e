// The files the program is asked to write; see output_file.h.
#include "app/output_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/notice.h"
#include "platform/paths.h"

OutputFaults outputFaults;

namespace {

// Gives up on the file after a failed write: closes it and cuts it back to
// its last whole piece, where it is a plain file (a device keeps its bytes).
void giveUp(OutputFile* out, int error)
{
    std::fclose(out->file);
    out->file = nullptr;
    out->failed = true;
    namespace fs = std::filesystem;
    std::error_code ignored;
    const fs::path file = fs::u8path(out->path);
    if (fs::is_regular_file(file, ignored) && static_cast<long long>(fs::file_size(file, ignored)) > out->whole)
        fs::resize_file(file, static_cast<std::uintmax_t>(out->whole), ignored);
    outputTellFailure(out->what, out->path, error);
}

}  // namespace

bool outputOpen(OutputFile* out, const std::string& path, const std::string& what)
{
    *out = OutputFile{};
    out->path = path;
    out->what = what;
    errno = 0;
    out->file = fileOpen(path.c_str(), "wb");
    if (out->file == nullptr) {
        out->failed = true;
        outputTellFailure(what, path, errno);
        return false;
    }
    return true;
}

bool outputWrite(OutputFile* out, const std::string& piece)
{
    if (out->file == nullptr)
        return !out->failed;
    errno = 0;
    const bool written = std::fwrite(piece.data(), 1, piece.size(), out->file) == piece.size();
    if (written && std::fflush(out->file) == 0) {
        out->whole += static_cast<long long>(piece.size());
        return true;
    }
    giveUp(out, errno);
    return false;
}

bool outputClose(OutputFile* out)
{
    if (out->file != nullptr) {
        errno = 0;
        const bool flushed = std::fflush(out->file) == 0;
        const int error = errno;
        if (!flushed) {
            giveUp(out, error);
        } else if (std::fclose(out->file) != 0) {
            out->file = nullptr;
            out->failed = true;
            outputTellFailure(out->what, out->path, errno);
        }
        out->file = nullptr;
    }
    const bool ok = !out->failed;
    *out = OutputFile{};
    return ok;
}

void outputTellFailure(const std::string& what, const std::string& path, int error)
{
    outputFaults.failures++;
    const std::string reason = error != 0 ? std::strerror(error) : "the system gave no reason";
    noticeShow(NOTICE_WARNING, outputFaults.speaker + ": cannot write " + what + " " + path + ": " + reason +
                                   "; what was written before is kept, and the scene plays on\n");
}

bool outputFailed()
{
    return outputFaults.failures > 0;
}
