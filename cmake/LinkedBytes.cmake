# Links FILE into TARGET as bytes read by SOURCE (core/LinkedBytes.h): SOURCE
# is given DEFINE as FILE's path and is compiled again whenever FILE changes.
# A FILE the build makes is listed among TARGET's sources, so its command runs first.
function(dvl_link_bytes target source define file)
  target_sources(${target} PRIVATE ${file})
  set_property(SOURCE ${source} APPEND PROPERTY COMPILE_DEFINITIONS "${define}=\"${file}\"")
  set_property(SOURCE ${source} APPEND PROPERTY OBJECT_DEPENDS ${file})
endfunction()
