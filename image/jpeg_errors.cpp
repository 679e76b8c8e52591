#include "image/jpeg_errors.h"

namespace {

void onJpegError(j_common_ptr info)
{
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    info->err->format_message(info, errors->text);
    std::longjmp(errors->jump, 1);
}

void ignoreJpegMessage(j_common_ptr, int) {}

}  // namespace

jpeg_error_mgr* useJpegErrors(JpegErrors& errors)
{
    jpeg_error_mgr* manager = jpeg_std_error(&errors.base);
    errors.base.error_exit = onJpegError;
    errors.base.emit_message = ignoreJpegMessage;
    errors.text[0] = '\0';
    return manager;
}
