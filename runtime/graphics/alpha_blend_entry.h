// The optional "AlphaBlend" entry of "msimg32.dll". Only its presence matters:
// icons are taken as carrying alpha only when the entry exists.
#pragma once

// Loads the library and looks the entry up; either may find nothing.
void alpha_blend_entry_load();
void alpha_blend_entry_release();
bool alpha_blend_entry_present();
