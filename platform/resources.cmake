# winlayer_add_resources(<target> <rc-script>): makes the icon groups that a
# resource script declares ("<id> ICON <file>", the id a number, a name, or a
# name the script #defines as a number) known to the program on the layer, so
# that LoadIconW finds them as it finds them in the Windows build of the same
# script. Scripts it includes by a quoted name that lies beside it count too.

# Sets the caller's variable out to the start-up lines that register the icon
# groups of one script and of the scripts it includes; #defines seen are kept
# in define_<name>, in the caller's scope as well, as the resource compiler's are.
function(winlayer_icon_group_registrations script out)
  file(STRINGS ${script} lines)
  get_filename_component(folder ${script} DIRECTORY)
  set(found "")
  foreach(line IN LISTS lines)
    # The match is tested apart: ${CMAKE_MATCH_1} in the same if() would be
    # expanded before the match sets it, naming the previous match's file.
    if(line MATCHES "^[ \t]*#[ \t]*include[ \t]+\"([^\"]+)\"")
      set(included ${folder}/${CMAKE_MATCH_1})
      if(EXISTS ${included})
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${included})
        winlayer_icon_group_registrations(${included} from_included)
        string(APPEND found "${from_included}")
      endif()
    elseif(line MATCHES "^[ \t]*#[ \t]*define[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]+([0-9]+)")
      set(define_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
      set(define_${CMAKE_MATCH_1} ${CMAKE_MATCH_2} PARENT_SCOPE)
    elseif(line MATCHES "^[ \t]*([A-Za-z0-9_]+)[ \t]+ICON[ \t]")
      set(id ${CMAKE_MATCH_1})
      if(DEFINED define_${id})
        set(id ${define_${id}})
      endif()
      if(id MATCHES "^[0-9]+$")
        string(APPEND found "  winlayer_register_icon_group(\"#${id}\");\n")
      else()
        string(TOUPPER ${id} id)
        string(APPEND found "  winlayer_register_icon_group(\"${id}\");\n")
      endif()
    endif()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

function(winlayer_add_resources target script)
  winlayer_icon_group_registrations(${script} registrations)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${script})
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
  file(WRITE ${source}.new
       "// Generated from ${script}: its icon groups, registered before main().\n"
       "extern \"C\" void winlayer_register_icon_group(const char* key);\n"
       "namespace {\nconst bool registered = [] {\n${registrations}  return true;\n}();\n}  // namespace\n")
  configure_file(${source}.new ${source} COPYONLY)
  target_sources(${target} PRIVATE ${source})
endfunction()
