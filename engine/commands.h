#pragma once
// The two commands of the window: Sign in and Reset.

void apply_key();
void clear_proxy_settings();
void reset_configuration();
