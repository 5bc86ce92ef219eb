// The page and its script and style sheet, compiled into the program (a
// build step turns page/ into page_files.cpp): the server serves these and
// no file of the disk.
#pragma once

#include <string_view>

struct page_file {
  std::string_view path;          // "/", "/page.js", "/page.css"
  std::string_view content_type;  // with its charset
  std::string_view content;
};

// The file served at `path`, or null.
const page_file* find_page_file(std::string_view path);
