#!/usr/bin/perl
# Writes one compound file with an independent writer (OLE::Storage_Lite): reads
# "name<TAB>hex bytes" lines on standard input, one stream each, directly under the root.
#   save_compound.pl <path> < streams.txt
use strict;
use warnings;
use OLE::Storage_Lite;

my $path = shift or die "usage: $0 <path>\n";
my %streams;
while (my $line = <STDIN>) {
    chomp $line;
    my ($name, $hex) = split /\t/, $line, 2;
    $streams{$name} = pack('H*', $hex // '');
}
# Windows looks names up in the directory as a search tree ordered by length, then by
# upper-case name; OLE::Storage_Lite builds the tree in the order it is given.
my @order = sort { length($a) <=> length($b) or uc($a) cmp uc($b) } keys %streams;
my @children = map { OLE::Storage_Lite::PPS::File->new(OLE::Storage_Lite::Asc2Ucs($_), $streams{$_}) } @order;
OLE::Storage_Lite::PPS::Root->new(undef, undef, \@children)->save($path) or die "cannot write $path\n";
