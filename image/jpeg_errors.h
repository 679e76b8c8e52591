#pragma once
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

// libjpeg reports errors by calling a function that must not return. These
// turn them into a jump back to the caller with the message kept, instead of
// ending the program. Warnings (a file cut short, stray bytes) are counted and
// the first one is kept, so the caller can say what was wrong with a file that
// still decoded.
struct JpegErrors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
    char warning[JMSG_LENGTH_MAX];   // the first warning, empty when none
    int warningCode;                 // its libjpeg message code (JWRN_JPEG_EOF, ...)
    int warningCount;
};

// Makes errors the error manager to give to a libjpeg object (its err
// field). The caller sets setjmp(errors.jump) before the first call that may
// fail, and keeps C++ objects with destructors out of that function.
jpeg_error_mgr* useJpegErrors(JpegErrors& errors);
