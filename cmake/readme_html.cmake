# README.md as README.html, the user guide a Windows user can open: cmark-gfm with GitHub's tables,
# in a page that declares UTF-8, with GitHub's ids on the headings, so that the README's links to
# its own sections work as they do on GitHub.
#   cmake -DCMARK=cmark-gfm -DIN=README.md -DOUT=README.html -P readme_html.cmake
execute_process(COMMAND ${CMARK} --extension table ${IN}
  OUTPUT_VARIABLE body RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmark-gfm could not convert ${IN}")
endif()

string(REGEX MATCHALL "<h[1-6]>[^<;]*</h[1-6]>" headings "${body}")
foreach(heading IN LISTS headings)
  string(REGEX REPLACE "^<h([1-6])>(.*)</h[1-6]>$" "\\1" level "${heading}")
  string(REGEX REPLACE "^<h[1-6]>(.*)</h[1-6]>$" "\\1" text "${heading}")
  string(TOLOWER "${text}" id)
  string(REGEX REPLACE "[^a-z0-9 _-]" "" id "${id}")
  string(REPLACE " " "-" id "${id}")
  string(REPLACE "${heading}" "<h${level} id=\"${id}\">${text}</h${level}>" body "${body}")
endforeach()

file(WRITE ${OUT} "<!DOCTYPE html>
<html lang=\"en\">
<head>
<meta charset=\"utf-8\">
<title>BkRemote</title>
<style>
body { font-family: Segoe UI, sans-serif; max-width: 60em; margin: 2em auto; padding: 0 1em; }
table { border-collapse: collapse; }
th, td { border: 1px solid #bbb; padding: 0.3em 0.6em; vertical-align: top; }
code, pre { font-family: Consolas, monospace; background: #f3f3f3; }
pre { padding: 0.6em; overflow-x: auto; }
img { max-width: 100%; }
</style>
</head>
<body>
${body}</body>
</html>
")
