// Paths handed from the Linux build to a test running under Wine.
#pragma once

#include <string>

// Wine maps the Unix root to drive Z:.
inline std::string WindowsPathOf(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}
