# lumivex_add_resources(<target> SYMBOL <ns::Name> MODULE <name>
#                       [RCDATA <NAME> <file.dfm>]... [BITMAP <NAME> <file.bmp>]...)
# compiles the files into a resource table (a vcl::TResourceModule named SYMBOL) and adds it to
# the target's sources. Text form files are linked in as binary streams.
function(lumivex_add_resources target)
  cmake_parse_arguments(ARG "" "SYMBOL;MODULE" "RCDATA;BITMAP" ${ARGN})
  string(REPLACE "::" "_" stem ${ARG_SYMBOL})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${stem}.cpp)
  set(args -o ${out} --symbol ${ARG_SYMBOL} --module ${ARG_MODULE})
  set(deps lumivex-res)
  foreach(kind RCDATA BITMAP)
    string(TOLOWER ${kind} flag)
    set(list ${ARG_${kind}})
    list(LENGTH list n)
    math(EXPR pairs "${n} / 2")
    if(pairs GREATER 0)
      math(EXPR last "${pairs} - 1")
      foreach(i RANGE ${last})
        math(EXPR at "${i} * 2")
        math(EXPR at1 "${at} + 1")
        list(GET list ${at} name)
        list(GET list ${at1} file)
        get_filename_component(file ${file} ABSOLUTE)
        list(APPEND args --${flag} ${name}=${file})
        list(APPEND deps ${file})
      endforeach()
    endif()
  endforeach()
  add_custom_command(OUTPUT ${out}
    COMMAND lumivex-res ${args}
    DEPENDS ${deps}
    COMMENT "Compiling the resources of ${ARG_MODULE}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
