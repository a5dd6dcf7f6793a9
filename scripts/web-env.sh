# Sourced by the scripts that build for the web (web-qt.sh, web.sh): web_env sets up the
# environment that Debian's emscripten needs, caching what it makes under ~/.cache/summenleiter.
# What Debian's emscripten 3.1.6 needs around it to build Qt and the program:
# - its cache of system libraries is frozen in /usr/share; a writable copy lets it build the
#   variants that Qt's flags ask for (exceptions, WebGL 2);
# - its optimizer finds acorn among Debian's node modules;
# - Qt's CMake finds emscripten through an EMSDK folder whose .emscripten file names its root,
#   here a folder of links to Debian's commands and CMake files;
# - qt-cmake asks for EMSCRIPTEN.
web_env() {
    local cache="${XDG_CACHE_HOME:-$HOME/.cache}/summenleiter" emsdk root
    emsdk="$cache/emsdk"
    root="$emsdk/upstream/emscripten"
    if [ ! -d "$cache/emscripten-cache/sysroot" ]; then
        mkdir -p "$cache/emscripten-cache"
        cp -a /usr/share/emscripten/cache/. "$cache/emscripten-cache/"
    fi
    if [ ! -x "$root/emcc" ]; then
        mkdir -p "$root"
        for tool in emcc em++ emar emranlib em-config emcmake emconfigure emmake emnm emsize; do
            ln -sfn "/usr/bin/$tool" "$root/$tool"
        done
        ln -sfn /usr/share/emscripten/cmake "$root/cmake"
        echo "EMSCRIPTEN_ROOT = emsdk_path + '/upstream/emscripten'" >"$emsdk/.emscripten"
    fi
    export EM_CACHE="$cache/emscripten-cache" EM_FROZEN_CACHE= NODE_PATH=/usr/share/nodejs
    export EMSDK="$emsdk" EMSCRIPTEN=/usr/share/emscripten
}

