# Sets `variable` to `text` written as the body of a C string literal.
function(c_string_body variable text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  string(REPLACE "\r" "\\r" text "${text}")
  string(REPLACE "\n" "\\n" text "${text}")
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()
