#pragma once
#include <filesystem>
#include <string>

// Shared by the capture tests: scratch folders and whole files.

// An empty folder of the system's temporary folder, named for this process
// and name, made afresh.
std::filesystem::path freshDirectory(const std::string& name);

// The whole file as bytes; empty when it cannot be read.
std::string readAll(const std::filesystem::path& path);
