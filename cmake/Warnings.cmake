# Warnings for the project's own targets (dependencies keep their own flags).
add_library(quillora_warnings INTERFACE)
target_compile_options(quillora_warnings INTERFACE -Wall -Wextra)

if(QUILLORA_HOST)
  # Sanitizers for every target of the host build, third-party test code included.
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
else()
  # Unicode Win32 API, Windows 7 as the oldest target; one self-contained executable.
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Sections at page boundaries in the file too: the loader can then map the
  # image and bring in only the pages it touches. With the default 512-byte
  # alignment Wine reads the whole file, debug sections included, into fresh
  # memory at every start (for the program: about 50 MB and 100 ms).
  add_link_options(-Wl,--file-alignment=0x1000)
endif()
