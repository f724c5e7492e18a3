# The plug-ins' sources are UTF-8; the texts the system shows are Shift-JIS
# (code page 932) in the binaries, so narrow literals are converted on the way.
set(SHIFT_JIS_LITERALS -finput-charset=UTF-8 -fexec-charset=CP932)

# quillmere_module(name source...): one module of the plug-ins, a static
# library that both plug-ins and the unit tests link.
function(quillmere_module name)
  add_library(${name} STATIC ${ARGN})
  target_compile_options(${name} PRIVATE ${SHIFT_JIS_LITERALS})
endfunction()
