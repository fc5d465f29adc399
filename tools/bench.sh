#!/usr/bin/env bash
# Benchmarks, one figure per line (medians; compare the ratios, not the absolutes):
#   md5 twinseek_MBps=… md5sum_MBps=… openssl_MBps=…   one 1 GiB file in the page cache
#   delete files=… kib=… check_off_seconds=… check_on_seconds=… ratio=…
#                                                        a keep-first delete for good of 2,000
#                                                        groups of two 64 KiB files, without and
#                                                        with the content check
#   scan files=… digest=0|1 seconds=… files_per_s=… cpu_seconds=… read_seconds=… floor_ratio=…
#                                                        50,000 files in 2,500 folders,
#                                                        10 % duplicates, FastSearch 1, no window,
#                                                        beside the floor of ui-scan below
#   ui-scan files=… digest=0|1 similar=0|1 seconds=… walk_seconds=… ratio=… rows=…
#           private_bytes=… bytes_per_file=… window_cpu=… worker_cpu=…
#           read_seconds=… floor_ratio=…              (walk + what a staged content search
#                                                        must read and hash: files sharing a
#                                                        size up to 64 KiB whole, above it their
#                                                        blocks, and whole those whose blocks
#                                                        agree, those from 1 MiB on two cores;
#                                                        search over it)
#           max_answer_ms=… slow_answers=… expand_all_seconds=… collapse_all_seconds=… clear_seconds=…
#           command_answer_ms=… click_ms=… scroll_ms=… menu_ms=… groups=… rule_ms=… untick_ms=…
#                                                        (the longest wait for the window to
#                                                        answer during the search; the commands
#                                                        on every row of the full results,
#                                                        -1 where one took over two minutes,
#                                                        and the longest wait for an answer
#                                                        while they ran; a check-box click, a
#                                                        scroll and the row menu on them, each
#                                                        with its painting; 每组保留最新的文件 and
#                                                        取消全部勾选 over every group)
#                                                        the same tree searched through the
#                                                        main window (FastSearch 1), next to a
#                                                        bare walk of it in the same process;
#                                                        similar names on its first 5,000 files
#                                                        (that mode walks all groups per new name);
#                                                        200 media files of 8 MiB by MD5; a copy
#                                                        of /usr/share/doc by names, then by MD5
#                                                        twice in one program folder, the second
#                                                        line ending in warm_ratio=… (its time
#                                                        over the names search's, digests cached)
# The data is made once under $TWINSEEK_BUILD/bench-data and reused.
# tools/bench.sh big (make bench-big) runs only two ui-scan lines on a million files.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
trap twinseek_stop EXIT
# The display first: the prefix's services start with the first Wine program and
# keep the display they found, so one that is gone would leave every window unseen.
twinseek_display

bench_exe=$TWINSEEK_BUILD/twinseek_bench.exe
[[ -f $bench_exe ]] || { echo "bench: $bench_exe is missing; run make build" >&2; exit 1; }
if ! command -v openssl >/dev/null; then
    if [[ $(id -u) -eq 0 ]]; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y openssl >/dev/null
    else
        echo "bench: openssl is missing; as root run: apt-get install -y openssl" >&2
        exit 1
    fi
fi

data=$TWINSEEK_BUILD/bench-data
big=$data/one-gib.bin
tree=$data/tree
mkdir -p "$data"

# make_tree ROOT TOPS SUBS FILES: TOPS folders with SUBS subfolders each, FILES files in
# every one of them. Every tenth file repeats the name and content of a file from
# another folder.
make_tree() {
    rm -rf "$1"
    perl -e '
        use strict;
        my ($root, $tops, $subs, $files) = @ARGV;
        mkdir $root or die;
        my ($n, @folders) = (0);
        for my $a (0 .. $tops - 1) {
            my $top = sprintf("%s/d%02d", $root, $a);
            mkdir $top or die;
            push @folders, $top;
            for my $b (1 .. $subs) {
                my $sub = sprintf("%s/e%02d", $top, $b);
                mkdir $sub or die;
                push @folders, $sub;
            }
        }
        srand(1);
        for my $f (0 .. $#folders) {
            for my $i (0 .. $files - 1) {
                my ($name, $id) = ("f$n.dat", $n);
                if ($n % 10 == 9 && $f > 0) { $id = int(rand($f * $files)); $name = "f$id.dat"; }
                my $size = 256 + ($id * 7919) % 3840;
                open(my $fh, ">", "$folders[$f]/$name") or die;
                print $fh substr(("$id:" x (1 + int($size / 3))), 0, $size);
                close $fh;
                ++$n;
            }
        }' "$@"
}

# make bench-big: a million files in 10,001 folders, searched by names and then by
# digest through the window (a quarter of an hour; the tree, about 3 GB, is made once).
if [[ ${1:-} == big ]]; then
    huge=$data/tree1m
    if [[ ! -f $huge.ready ]]; then
        echo "bench: writing the tree of 1,000,000 files" >&2
        make_tree "$huge" 100 99 100
        touch "$huge.ready"
    fi
    twinseek_prefix_init >/dev/null
    wine "$bench_exe" ui-scan "$(winepath -w "$huge")" 0 | tr -d '\r'
    # The digest search of the same tree, beside its floor (the commands once are enough).
    wine "$bench_exe" ui-scan "$(winepath -w "$huge")" 1 0 0 | tr -d '\r'
    exit 0
fi

if [[ ! -f $big.ready ]]; then
    echo "bench: writing the 1 GiB file" >&2
    head -c 1073741824 /dev/urandom >"$big"
    touch "$big.ready"
fi

if [[ ! -f $tree.ready ]]; then
    echo "bench: writing the tree of 50,000 files" >&2
    # 50 folders with 49 subfolders each: 2,500 folders of 20 files.
    make_tree "$tree" 50 49 20
    touch "$tree.ready"
fi

twinseek_prefix_init >/dev/null

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
now() { date +%s.%N; }
# MB/s of a native command over the big file, median of 5.
native_rate() {
    local i start end
    for i in 1 2 3 4 5; do
        start=$(now)
        "$@" "$big" >/dev/null
        end=$(now)
        awk -v s="$start" -v e="$end" 'BEGIN { printf "%.0f\n", 1073741824 / 1e6 / (e - s) }'
    done | median
}

cat "$big" >/dev/null   # into the page cache
md5sum_rate=$(native_rate md5sum)
openssl_rate=$(native_rate openssl dgst -md5)
twinseek_rate=$(wine "$bench_exe" md5 "$(winepath -w "$big")" 5 | tr -d '\r' |
                sed -n 's/^twinseek_MBps=\([0-9]*\).*/\1/p')
echo "md5 twinseek_MBps=$twinseek_rate md5sum_MBps=$md5sum_rate openssl_MBps=$openssl_rate"

mkdir -p "$data/delete"
wine "$bench_exe" delete "$(winepath -w "$data/delete")" 2000 64 3 | tr -d '\r'

tree_win=$(winepath -w "$tree")
for digest in 0 1; do
    wine "$bench_exe" scan "$tree_win" "$digest" 3 | tr -d '\r'
done
small=$data/tree5k
if [[ ! -f $small.ready ]]; then
    rm -rf "$small"
    mkdir -p "$small"
    cp -r "$tree"/d0[0-4] "$small"/
    touch "$small.ready"
fi
for digest in 0 1; do
    wine "$bench_exe" ui-scan "$tree_win" "$digest" | tr -d '\r'
done
small_win=$(winepath -w "$small")
for similar in 0 1; do
    wine "$bench_exe" ui-scan "$small_win" 0 "$similar" | tr -d '\r'
done

# Large files of one size (camera raws, disk images, recordings): 200 files of 8 MiB,
# 20 pairs of true copies and 160 files that differ from their first byte; an MD5
# search reads the copies whole and the others' first blocks only.
media=$data/media
if [[ ! -f $media.ready ]]; then
    rm -rf "$media"
    perl -e '
        use strict;
        my ($root) = @ARGV;
        mkdir $root or die;
        my $size = 8 * 1048576;
        my $body = join("", map { chr(($_ * 131 + 7) & 255) } 0 .. 65535) x ($size / 65536);
        for my $i (0 .. 179) {
            my $dir = sprintf("%s/d%02d", $root, $i % 10);
            mkdir $dir unless -d $dir;
            # Files 0-19 each get a copy (180-199); every other file is its own.
            my $head = sprintf("file %05d ", $i);
            my $bytes = $head . substr($body, length($head));
            for my $name ($i < 20 ? (sprintf("%s/m%03d.raw", $dir, $i), sprintf("%s/copy-m%03d.raw", $root . "/d09", $i))
                                   : (sprintf("%s/m%03d.raw", $dir, $i))) {
                mkdir $root . "/d09" unless -d $root . "/d09";
                open(my $fh, ">", $name) or die;
                binmode $fh;
                print $fh $bytes;
                close $fh;
            }
        }' "$media"
    touch "$media.ready"
fi
wine "$bench_exe" ui-scan "$(winepath -w "$media")" 1 | tr -d '\r'

# Real files nobody here made: a copy of the system's documentation folder.
docs=$data/doc
if [[ ! -f $docs.ready ]]; then
    if [[ -d /usr/share/doc ]]; then
        rm -rf "$docs"
        cp -r --no-preserve=ownership /usr/share/doc "$docs" 2>/dev/null || true
        # Links would lead out of the copy.
        find "$docs" -type l -delete
        touch "$docs.ready"
    else
        echo "bench: /usr/share/doc is missing; the run on real files is skipped" >&2
    fi
fi
if [[ -f $docs.ready ]]; then
    docs_win=$(winepath -w "$docs")
    names=$(wine "$bench_exe" ui-scan "$docs_win" 0 | tr -d '\r')
    echo "$names"
    # The digest search twice in one program folder: the second run finds the first
    # one's digests in the cache (warm_ratio: against the names search).
    keep=$data/program-dir
    rm -rf "$keep"
    mkdir -p "$keep"
    cold=$(TWINSEEK_BENCH_PROGRAM_DIR=$(winepath -w "$keep") wine "$bench_exe" ui-scan "$docs_win" 1 | tr -d '\r')
    echo "$cold"
    warm=$(TWINSEEK_BENCH_PROGRAM_DIR=$(winepath -w "$keep") wine "$bench_exe" ui-scan "$docs_win" 1 | tr -d '\r')
    seconds_of() { sed -n 's/.* seconds=\([0-9.]*\) .*/\1/p' <<<"$1"; }
    echo "$warm warm_ratio=$(awk -v w="$(seconds_of "$warm")" -v n="$(seconds_of "$names")" 'BEGIN { printf "%.2f", (n > 0 ? w / n : -1) }')"
fi
