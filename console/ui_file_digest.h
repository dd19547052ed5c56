// The digest that the movie file must have: 32 lowercase hexadecimal
// characters, computed by the build from the movie that ships.
#ifndef OMBRIX_CONSOLE_UI_FILE_DIGEST_H
#define OMBRIX_CONSOLE_UI_FILE_DIGEST_H

extern const char kUiFileDigest[33];

#endif
