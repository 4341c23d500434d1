#!/usr/bin/perl
# Writes message files with an independent compound-file writer (OLE::Storage_Lite)
# and hand-assembled records, for our readers to read: make_compound_files.pl <folder>.
use strict;
use warnings;
use utf8;
use Encode qw(encode);
use File::Path qw(make_path);
use OLE::Storage_Lite;

my $dir = shift or die "usage: $0 <folder>\n";
make_path($dir);

sub dword { pack('V', shift) }
sub ansi { encode('cp949', shift) }
sub text { my ($tag, $bytes) = @_; dword($tag) . dword(length $bytes) . $bytes }
sub file_record { my ($tag, $name, $data) = @_; text($tag, $name) . dword(length $data) . $data }
sub header { dword(0) . dword(1) . dword(0x10000) }
# The same bytes as the Windows test's Pattern(size, seed).
sub pattern { my ($size, $seed) = @_; join '', map { chr(($_ * 31 + $seed) % 253) } 0 .. $size - 1 }

# OLE::Storage_Lite builds the directory tree from the children in the order given
# (the middle one at the top), while Windows looks names up in it as a search tree
# ordered by length, then by upper-case name. Given unsorted, some streams are
# unreachable by name; so they are handed over in that order.
sub save {
    my ($name, %streams) = @_;
    my @order = sort { length($a) <=> length($b) or uc($a) cmp uc($b) } keys %streams;
    my @children = map { OLE::Storage_Lite::PPS::File->new(OLE::Storage_Lite::Asc2Ucs($_), $streams{$_}) } @order;
    my $root = OLE::Storage_Lite::PPS::Root->new(undef, undef, \@children);
    $root->save("$dir/$name") or die "cannot write $dir/$name\n";
}

# Current generation: small streams live in the mini stream, the large image and
# attachment in big blocks.
save('perl-current.pcm2',
    'nc_local_property' => header() . text(0x800000, ansi('홍길동 <hong@x.kr>')) . text(0x1000000, '')
        . text(3, ansi('키워드')) . text(5, ansi('<p>펄이 쓴 본문</p>'))
        . text(2, "body\x08" . ansi('<p>펄이 쓴 본문</p>') . "\x7F") . dword(8),
    'nc_local_inline' => header() . file_record(7, 'photo.jpg', pattern(5000, 7)) . dword(8),
    'nc_local_attach' => header() . file_record(6, ansi('결재 문서.hwp'), pattern(70000, 8))
        . file_record(6, 'empty.txt', '') . file_record(6, '..\\..\\escape.txt', 'x') . dword(8),
);

# Legacy generation, with the tags the reader drops.
save('perl-legacy.pcm',
    '_vxLocalproperty' => dword(0) . dword(1) . dword(3) . text(0x20, 'dropped') . text(0x100, 'dropped')
        . text(0x800000, ansi('가@x.kr;나@y.kr;')) . text(0x1000000, 'c@z.kr;') . text(0x8000, ansi('옛 본문'))
        . dword(0x80000000),
    '_vxLocalAttach' => dword(0) . dword(1) . dword(3) . file_record(0x40000, ansi('옛 첨부.doc'), pattern(4096, 9))
        . dword(0x80000000),
);
