# Every library gets an include root of its own in the build tree, holding
# links to its public headers only, so a target can include exactly the
# headers of the libraries it links (and "host/ui/View.h" does not resolve
# in a library that does not link host_ui).

# public_header_folder(<target> <prefix> <folder>)
#   #include "<prefix>/X.h" finds <folder>/X.h for <target> and its users.
function(public_header_folder target prefix folder)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  _link_public_header(${folder} ${root}/${prefix})
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# public_headers(<target> <prefix> <header>...)
#   #include "<prefix>/<header>" finds that header (relative to the current
#   source folder) for <target> and its users; an empty prefix puts the
#   headers at the top of the root.
function(public_headers target prefix)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  foreach(header ${ARGN})
    get_filename_component(name ${header} NAME)
    if(prefix)
      set(link ${root}/${prefix}/${name})
    else()
      set(link ${root}/${name})
    endif()
    _link_public_header(${CMAKE_CURRENT_SOURCE_DIR}/${header} ${link})
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()

function(_link_public_header original link)
  get_filename_component(parent ${link} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${original} ${link} SYMBOLIC)
endfunction()
