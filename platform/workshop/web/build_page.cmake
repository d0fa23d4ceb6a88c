# cmake -DPAGE=dir -DOUT=dir -DNPM=npm -P build_page.cmake
# Builds the page with its locked packages: `npm ci` only when the lock file changed since the
# packages were installed (setup installs them, so a machine without network still builds).
set(stamp "${PAGE}/node_modules/.package-lock.json")
if(NOT EXISTS "${stamp}" OR "${PAGE}/package-lock.json" IS_NEWER_THAN "${stamp}")
  execute_process(COMMAND "${NPM}" ci --prefer-offline --no-audit --no-fund
                  WORKING_DIRECTORY "${PAGE}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "npm ci failed in ${PAGE}: run scripts/setup.sh with network once")
  endif()
endif()
execute_process(COMMAND "${NPM}" run --silent build -- --outDir "${OUT}" --emptyOutDir
                WORKING_DIRECTORY "${PAGE}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the workshop page did not build")
endif()
