#!/usr/bin/env bash
# The command line against ImageMagick, side by side on this machine, in interleaved rounds:
#   1. one sheet as a whole process against one `convert` that draws the same six names in the same
#      font files onto black 180 x 100 tiles and writes one 360 x 300 BMP;
#   2. 1,000 sheets in one batch against 1,000 such `convert` calls (100 timed, times 10);
#   3. the same batch with --jobs 2 against --jobs 1;
#   4. peak resident memory (VmHWM) of a batch of 10,000 rows against one of 100 rows.
# Prints a Markdown table of medians with min and max.
#   bench/cli_vs_imagemagick.sh [rounds]     (default 31 single-sheet rounds; the batches run 5, memory 3)
# BENCH_DIR chooses where the files are written (a new folder in it; default ${TMPDIR:-/tmp}), for
# example BENCH_DIR=/dev/shm to leave the disk out.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
rounds=${1:-31}
batch_rounds=5
memory_rounds=3
install_missing_packages
configure_and_build "$ROOT/build" -DSIGNATURE_WERROR=ON >/dev/null
program=$ROOT/build/src/signature-designer
convert=$(command -v convert-im6.q16 || readlink -f /usr/bin/convert)
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

# Other programs on the machine slow both sides alike, but not --jobs 2 and --jobs 1 alike: the share
# of the run during which some task waited for a processor is printed with the figures.
pressure() { awk '/^some/ { sub("total=", "", $5); print $5 }' /proc/pressure/cpu 2>/dev/null || echo 0; }
pressure_start=$(pressure) clock_start=$(date +%s%N)
work=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/cli-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The files the tiles are drawn from: the bundled stand-ins, where no commercial face is installed;
# the captions are left to the program only.
tile_fonts=("$ROOT/fonts/ZCOOLXiaoWei-Regular.ttf" "$ROOT/fonts/LiuJianMaoCao-Regular.ttf"
    "$ROOT/fonts/LongCang-Regular.ttf" "$ROOT/fonts/ZhiMangXing-Regular.ttf"
    "$ROOT/fonts/GreatVibes-Regular.ttf" "$ROOT/fonts/DancingScript-Regular.ttf")

# im_sheet OUT CHINESE ENGLISH: six black tiles, 36 pt (48 px) Chinese and 28 pt (37 px) romanised
# names centred, two to a row.
im_sheet() {
    local args=() k text size
    for k in 0 1 2 3 4 5; do
        if [ "$k" -lt 4 ]; then text=$2 size=48; else text=$3 size=37; fi
        args+=('(' -size 180x100 xc:black -fill white -font "${tile_fonts[$k]}" -pointsize "$size"
            -gravity center -annotate +0+0 "$text" ')')
    done
    "$convert" '(' "${args[@]:0:32}" +append ')' '(' "${args[@]:32:32}" +append ')' \
        '(' "${args[@]:64:32}" +append ')' -append -type TrueColor "BMP3:$1"
}

# names ROWS: "chinese,english" rows from 100 common surnames and 300 characters common in given
# names, the same rows on every run (bash, not awk, counts characters rather than bytes).
names() {
    local LC_ALL=C.UTF-8 i a b c seed=12345
    local s="王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋蔡余杜叶程苏魏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝龚邵万钱严覃武戴莫孔向汤"
    local g="伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超兰霞平刚桂华建国文玉萍红志新海波宁飞鹏辉斌颖琳晶雪梅慧\
俊峰浩宇轩子涵欣怡梓萱诗雨佳琪晨阳思远博天佑嘉若曦婷婉清雅欢乐瑶翔鑫鸿凯亮康宏健宝春秋冬荣昌盛德仁义礼智\
信忠孝勤俭善真诚和谐安泰祥瑞吉庆福寿禄喜丰永久长青松柏竹菊荷莲桃杏梨枫柳槐桐楠樟森岩峻岭川河湖溪泉源澄澈\
澜浪潮汐霖露霜虹霓星辰月日晖晓旭东南中正方圆立岸卓越凡非常群豪雄威武振兴旺达通顺利畅悦然逸闲谧致向追求索\
创造启迪拓进奋图"
    for ((i = 0; i < $1; i++)); do
        seed=$(((seed * 1103515245 + 12345) % 2147483648)); a=${s:$((seed % ${#s})):1}
        seed=$(((seed * 1103515245 + 12345) % 2147483648)); b=${g:$((seed % ${#g})):1}
        seed=$(((seed * 1103515245 + 12345) % 2147483648)); c=
        [ $((seed % 10)) -lt 7 ] && c=${g:$(((seed / 10) % ${#g})):1}
        printf '%s%s%s,Name %d\n' "$a" "$b" "$c" "$i"
    done
}
names 100 >"$work/names100.csv"
names 1000 >"$work/names1000.csv"
names 10000 >"$work/names10000.csv"

now_us() { echo $(($(date +%s%N) / 1000)); }
stats() { sort -n | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; print m, v[1], v[NR] }'; }

# One sheet.
cli_once() { "$program" --chinese 王羲之 --english "Wang Xizhi" -o "$work/cli.bmp"; }
im_once() { im_sheet "$work/im.bmp" 王羲之 "Wang Xizhi"; }
cli_once && im_once # warm the file cache
cli_ms=() im_ms=()
for _ in $(seq "$rounds"); do
    s=$(now_us); cli_once; e=$(now_us); cli_ms+=($((e - s)))
    s=$(now_us); im_once; e=$(now_us); im_ms+=($((e - s)))
done
read -r cli_med cli_min cli_max < <(printf '%s\n' "${cli_ms[@]}" | stats)
read -r im_med im_min im_max < <(printf '%s\n' "${im_ms[@]}" | stats)

# 1,000 sheets: one batch (--jobs 2 and --jobs 1) against 100 convert calls x 10. Every run writes
# into a folder of its own, removed only at the end: a file system that has just deleted a thousand
# files is slower to make new ones, which would tax whichever program comes next.
batch() { "$program" --batch "$work/names1000.csv" --output-dir "$work/out/$2" --jobs "$1" 2>/dev/null; }
im_hundred() {
    mkdir -p "$work/im/$1"
    local i=0 chinese english
    while IFS=, read -r chinese english; do
        im_sheet "$work/im/$1/$i.bmp" "$chinese" "$english"
        i=$((i + 1))
    done <"$work/names100.csv"
}
b2=() b1=() imb=()
for round in $(seq "$batch_rounds"); do
    s=$(now_us); batch 2 "2-$round"; e=$(now_us); b2+=($((e - s)))
    s=$(now_us); batch 1 "1-$round"; e=$(now_us); b1+=($((e - s)))
    s=$(now_us); im_hundred "$round"; e=$(now_us); imb+=($(((e - s) * 10)))
done
rm -rf "$work/out" "$work/im"
read -r b2_med b2_min b2_max < <(printf '%s\n' "${b2[@]}" | stats)
read -r b1_med b1_min b1_max < <(printf '%s\n' "${b1[@]}" | stats)
read -r imb_med imb_min imb_max < <(printf '%s\n' "${imb[@]}" | stats)

# Peak memory of 100 and of 10,000 rows (default --jobs).
peak_kb() {
    rm -rf "$work/out"
    /usr/bin/time -f '%M' -o "$work/peak" "$program" --batch "$work/names$1.csv" --output-dir "$work/out" 2>/dev/null
    cat "$work/peak"
}
p100=() p10k=()
for _ in $(seq "$memory_rounds"); do
    p100+=("$(peak_kb 100)")
    p10k+=("$(peak_kb 10000)")
done
read -r p100_med p100_min p100_max < <(printf '%s\n' "${p100[@]}" | stats)
read -r p10k_med p10k_min p10k_max < <(printf '%s\n' "${p10k[@]}" | stats)

busy=$(awk -v p0="$pressure_start" -v p1="$(pressure)" -v t0="$clock_start" -v t1="$(date +%s%N)" \
    'BEGIN { printf "%.0f", 100 * (p1 - p0) / ((t1 - t0) / 1000) }')
ms() { awk -v v="$1" 'BEGIN { printf (v >= 100000 ? "%.0f" : "%.1f"), v / 1000 }'; }
range() { echo "$(ms "$1") ms ($(ms "$2")–$(ms "$3"))"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f×", a / b }'; }
mb() { awk -v v="$1" 'BEGIN { printf "%.1f MB", v / 1024 }'; }
echo "Written to $(df --output=fstype "$work" | tail -n 1) under $(dirname "$work"); $(nproc) cores; some task (ours" \
    "included) waited for a processor during $busy % of the run; ImageMagick $("$convert" -version | awk 'NR == 1 { print $3 }')."
echo
echo "| figure | signature-designer | ImageMagick / other | ratio |"
echo "|---|---|---|---|"
echo "| one sheet, whole process (median of $rounds, min–max) | $(range "$cli_med" "$cli_min" "$cli_max") | $(range "$im_med" "$im_min" "$im_max") | $(ratio "$im_med" "$cli_med") faster |"
echo "| 1,000 sheets: one batch, --jobs 2 vs 1,000 convert calls (100 timed × 10; median of $batch_rounds) | $(range "$b2_med" "$b2_min" "$b2_max") | $(range "$imb_med" "$imb_min" "$imb_max") | $(ratio "$imb_med" "$b2_med") faster |"
echo "| 1,000 sheets: --jobs 2 vs --jobs 1 (median of $batch_rounds) | $(range "$b2_med" "$b2_min" "$b2_max") | $(range "$b1_med" "$b1_min" "$b1_max") | $(ratio "$b1_med" "$b2_med") faster |"
echo "| peak resident memory: 10,000 rows vs 100 rows (median of $memory_rounds) | $(mb "$p10k_med") ($(mb "$p10k_min")–$(mb "$p10k_max")) | $(mb "$p100_med") ($(mb "$p100_min")–$(mb "$p100_max")) | +$(mb $((p10k_med - p100_med))) |"
