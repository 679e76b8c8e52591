#pragma once
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

// libjpeg reports errors by calling a function that must not return. These
// turn them into a jump back to the caller with the message kept, instead of
// ending the program.
struct JpegErrors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
};

// Makes errors the error manager to give to a libjpeg object (its err
// field); warnings are dropped. The caller sets setjmp(errors.jump) before
// the first call that may fail, and keeps C++ objects with destructors out
// of that function.
jpeg_error_mgr* useJpegErrors(JpegErrors& errors);
