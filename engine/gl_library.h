#pragma once
// OpenGL and GLU, loaded at run time from the system folder. Imported statically, OPENGL32.DLL and
// GLU32.DLL, which are not among Windows' known DLLs, would be looked for in the saver's own folder
// first. The gl, wgl and glu functions that the saver calls are defined in gl_library.cpp: each calls
// the system library's entry, and does nothing (returning null or 0) where the library or the entry
// is missing, so that the saver then runs without a picture.

// Loads OPENGL32.DLL and then GLU32.DLL from the system folder, once. OpenGL comes first: GLU's own
// import of it, and GDI's pixel-format and buffer-swap functions, which load it by name, then find
// this one loaded. The first call of any of the functions loads them too.
void LoadSystemOpenGl();
