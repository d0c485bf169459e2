# Loaded after CMake's own rules for the ARM64 toolchain: programs are linked by lld-link itself,
# whose options the MinGW front end of LLD 14 does not all pass on (the image version, for one).
foreach(lang C CXX)
    set(CMAKE_${lang}_LINK_EXECUTABLE
        "<CMAKE_LINKER> /nologo /machine:arm64 <LINK_FLAGS> <OBJECTS> /out:<TARGET> <LINK_LIBRARIES>")
    set(CMAKE_${lang}_CREATE_WIN32_EXE "/subsystem:windows")
    set(CMAKE_${lang}_CREATE_CONSOLE_EXE "/subsystem:console")
endforeach()
