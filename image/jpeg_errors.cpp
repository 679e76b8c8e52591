#include "image/jpeg_errors.h"

namespace {

void onJpegError(j_common_ptr info)
{
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    info->err->format_message(info, errors->text);
    std::longjmp(errors->jump, 1);
}

// Level -1 is a warning; higher levels are trace messages, dropped.
void onJpegMessage(j_common_ptr info, int level)
{
    if (level >= 0) return;
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    if (errors->warningCount++ == 0) {
        errors->warningCode = info->err->msg_code;
        info->err->format_message(info, errors->warning);
    }
}

}  // namespace

jpeg_error_mgr* useJpegErrors(JpegErrors& errors)
{
    jpeg_error_mgr* manager = jpeg_std_error(&errors.base);
    errors.base.error_exit = onJpegError;
    errors.base.emit_message = onJpegMessage;
    errors.text[0] = '\0';
    errors.warning[0] = '\0';
    errors.warningCode = 0;
    errors.warningCount = 0;
    return manager;
}
