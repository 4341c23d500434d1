// Demo page: what a compose page does with the control, printed step by step.
function say(text) { host.log(text); }

say("control created, style " + NvAtt.style + ", ready-state events: " + host.eventCount("ReadyStateChange"));
NvAtt.attachSize = "20480\t1048576\t";
NvAtt.attachlist = "보고서.doc\t회의록.pdf\tmemo.txt";
say("server attachments set from script; the list shows:\n  " + host.listItems(5).replace(/\n/g, "\n  "));
say("DoEDM(\"\", \"\") = " + NvAtt.DoEDM("", ""));
try {
    NvAtt.DoSubmit();
} catch (e) {
    say("DoSubmit: " + e.message);
}
