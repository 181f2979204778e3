// config/password_match.h -- whether typed text opens a stored password: the one comparison of the
// wake-up prompt and the change-password dialog.
#pragma once

// `typed` is Windows-1252 text, as the prompt and the dialog read it. It matches when it equals `stored`
// byte for byte (case-sensitive), or when `stored` holds that same text as UTF-8: what the password
// dialog stored for letters beyond ASCII before it wrote Windows-1252, so that such a password still
// opens the saver when its letters are typed as they were set. Both strings end within the password
// field's 44 bytes.
bool passwordMatches(const char* stored, const char* typed);
