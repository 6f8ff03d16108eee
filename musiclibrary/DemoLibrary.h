#pragma once

// The demonstration library: a small library of real song files, built from
// sample files compiled into the program, in which every kind of artwork and
// every track status that the program knows shows up. It is a folder of album
// folders plus the library file "Demo Library.xml" that lists them all
// (with one track whose file is absent and one without a location, which only
// a library file can hold); the library file is what gets opened.

#include "musiclibrary/Library.h"

#include <QString>

namespace musiclibrary {

// The file name of the demonstration library's library file.
QString demoLibraryFileName();

// "<GenericDataLocation>/Tarnwick/Quillmoth/Demo Library", where the
// program builds its demonstration library.
QString defaultDemoLibraryFolder();

// Builds the demonstration library in folder, replacing what an earlier build
// left there, and returns the path of its library file. Downloaded artwork is
// attached through the engine, with the data folder of options. Refuses
// (LibraryError) a folder that holds other files and no demonstration library,
// so that a mistyped path never wipes anything else.
QString buildDemoLibrary(const QString& folder, const LibraryOptions& options);

} // namespace musiclibrary
